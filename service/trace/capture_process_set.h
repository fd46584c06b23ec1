// The set of processes that hold the video-capture filter: a circular doubly
// linked list with a fixed head node, one element per process identifier.
// Only the trace thread touches it, so it takes no lock.
#pragma once

#include <windows.h>

#include <cstddef>

namespace lensbeacon {

class CaptureProcessSet {
  public:
    // Elements come from the C runtime's allocator; tests may substitute one
    // that fails.
    using Allocate = void* (*)(std::size_t);
    using Release = void (*)(void*);

    CaptureProcessSet();
    CaptureProcessSet(Allocate allocate, Release release);
    ~CaptureProcessSet();
    CaptureProcessSet(const CaptureProcessSet&) = delete;
    CaptureProcessSet& operator=(const CaptureProcessSet&) = delete;

    // Links `processId` at the tail unless it is already present. False when
    // it was present or no element could be allocated.
    [[nodiscard]] bool Add(DWORD processId);

    // Unlinks and frees the first element holding `processId`. False when
    // there is none.
    [[nodiscard]] bool Remove(DWORD processId);

    [[nodiscard]] bool Contains(DWORD processId) const;
    [[nodiscard]] bool empty() const { return head_.next == &head_; }
    [[nodiscard]] std::size_t size() const;

    // Frees every element.
    void Clear();

    // Identifier at position `index` from the head (for inspection); 0 past
    // the end.
    [[nodiscard]] DWORD At(std::size_t index) const;

  private:
    struct Node {
        Node* next;
        Node* previous;
        DWORD processId;
    };

    Node* Find(DWORD processId) const;

    Node head_;
    Allocate allocate_;
    Release release_;
};

}  // namespace lensbeacon
