#include "capture_process_set.h"

#include <cstdlib>

namespace lensbeacon {

CaptureProcessSet::CaptureProcessSet() : CaptureProcessSet(std::malloc, std::free) {}

CaptureProcessSet::CaptureProcessSet(Allocate allocate, Release release)
    : allocate_(allocate), release_(release) {
    head_.next = &head_;
    head_.previous = &head_;
    head_.processId = 0;
}

CaptureProcessSet::~CaptureProcessSet() {
    Clear();
}

CaptureProcessSet::Node* CaptureProcessSet::Find(DWORD processId) const {
    for (Node* node = head_.next; node != &head_; node = node->next) {
        if (node->processId == processId) {
            return node;
        }
    }
    return nullptr;
}

bool CaptureProcessSet::Contains(DWORD processId) const {
    return Find(processId) != nullptr;
}

bool CaptureProcessSet::Add(DWORD processId) {
    if (Find(processId) != nullptr) {
        return false;
    }
    auto* node = static_cast<Node*>(allocate_(sizeof(Node)));
    if (node == nullptr) {
        return false;
    }
    node->processId = processId;
    node->next = &head_;
    node->previous = head_.previous;
    head_.previous->next = node;
    head_.previous = node;
    return true;
}

bool CaptureProcessSet::Remove(DWORD processId) {
    Node* node = Find(processId);
    if (node == nullptr) {
        return false;
    }
    node->previous->next = node->next;
    node->next->previous = node->previous;
    release_(node);
    return true;
}

std::size_t CaptureProcessSet::size() const {
    std::size_t count = 0;
    for (const Node* node = head_.next; node != &head_; node = node->next) {
        ++count;
    }
    return count;
}

DWORD CaptureProcessSet::At(std::size_t index) const {
    for (const Node* node = head_.next; node != &head_; node = node->next) {
        if (index-- == 0) {
            return node->processId;
        }
    }
    return 0;
}

void CaptureProcessSet::Clear() {
    Node* node = head_.next;
    while (node != &head_) {
        Node* next = node->next;
        release_(node);
        node = next;
    }
    head_.next = &head_;
    head_.previous = &head_;
}

}  // namespace lensbeacon
