// Move-only owner for a value obtained through an interface of system calls
// (a struct of function pointers or an abstract class), released through the
// same interface exactly once. Cores use it instead of UniqueOwner so that
// tests can count what was obtained and released, and so that no Win32 call
// is made behind the interface's back.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

namespace lensbeacon {

template <typename T>
[[nodiscard]] constexpr bool IsNullValue(T value) noexcept {
    return value == T{};
}

// Handles of a failed call may hold either form of "no handle".
[[nodiscard]] inline bool IsNoHandle(HANDLE value) noexcept {
    return value == nullptr || value == INVALID_HANDLE_VALUE;
}

// `Close` is called as std::invoke(Close, api, value): a member function of
// the interface, or a free function taking the interface first. Values for
// which `IsEmpty` holds are never released.
template <typename Api, typename T, auto Close, auto IsEmpty = IsNullValue<T>>
class ApiOwner {
  public:
    explicit ApiOwner(Api& api, T value = T{}) noexcept : api_(&api), value_(value) {}
    ~ApiOwner() { reset(); }

    ApiOwner(ApiOwner&& other) noexcept
        : api_(other.api_), value_(std::exchange(other.value_, T{})) {}
    ApiOwner& operator=(ApiOwner&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.value_, T{}));
            api_ = other.api_;
        }
        return *this;
    }
    ApiOwner(const ApiOwner&) = delete;
    ApiOwner& operator=(const ApiOwner&) = delete;

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return !IsEmpty(value_); }
    T release() noexcept { return std::exchange(value_, T{}); }

    // Unlike UniqueOwner it leaves the thread's last error alone: the cores
    // it serves make no system call of their own, the interface does.
    void reset(T value = T{}) noexcept {
        const T old = std::exchange(value_, value);
        if (!IsEmpty(old)) {
            std::invoke(Close, *api_, old);
        }
    }

    // Empties the owner and hands out the slot for a call that fills it.
    T* put() noexcept {
        reset();
        return &value_;
    }

  private:
    Api* api_;
    T value_;
};

}  // namespace lensbeacon
