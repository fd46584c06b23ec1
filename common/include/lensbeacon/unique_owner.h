// Move-only owners for Win32 handles, keys, local memory and SIDs. Each owner
// closes its value exactly once, with the function that matches how it was
// obtained, and treats its type's "invalid" value as empty.
#pragma once

#include <windows.h>

#include <utility>

namespace lensbeacon {

template <typename Traits>
class UniqueOwner {
  public:
    using pointer = typename Traits::pointer;

    UniqueOwner() noexcept = default;
    explicit UniqueOwner(pointer value) noexcept : value_(value) {}
    ~UniqueOwner() { reset(); }

    UniqueOwner(UniqueOwner&& other) noexcept : value_(other.release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }

    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) {
            Traits::close(old);
        }
    }

    // Empties the owner and hands out the slot for an API that fills it.
    pointer* put() noexcept {
        reset();
        return &value_;
    }

  private:
    pointer value_ = Traits::invalid();
};

struct HandleTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { ::CloseHandle(value); }
};

// CreateFileW and friends report failure as INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer value) noexcept { ::CloseHandle(value); }
};

struct RegKeyTraits {
    using pointer = HKEY;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { ::RegCloseKey(value); }
};

struct LocalMemoryTraits {
    using pointer = HLOCAL;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { ::LocalFree(value); }
};

struct SidTraits {
    using pointer = PSID;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { ::FreeSid(value); }
};

using UniqueHandle = UniqueOwner<HandleTraits>;
using UniqueFileHandle = UniqueOwner<FileHandleTraits>;
using UniqueRegKey = UniqueOwner<RegKeyTraits>;
using UniqueLocalMemory = UniqueOwner<LocalMemoryTraits>;
using UniqueSid = UniqueOwner<SidTraits>;

}  // namespace lensbeacon
