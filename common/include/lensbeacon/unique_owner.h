// Move-only owners for Win32 handles, keys, thread-pool waits, memory, SIDs, modules, desktops,
// environment blocks, file searches, global atoms, GDI objects and windows. Each owner closes its
// value exactly once, with the function that matches how it was obtained, and treats its type's
// "invalid" value as empty. Closing keeps the thread's last-error value, so the error of a call
// that failed survives the clean-up of what that call left behind.
#pragma once

#include <windows.h>
#include <userenv.h>

#include <utility>

namespace lensbeacon {

// The owner itself, over a traits type with `pointer`, `invalid()` and
// `close(pointer)`. Most owners need no traits of their own: see UniqueOwner.
template <typename Traits>
class BasicOwner {
  public:
    using pointer = typename Traits::pointer;

    BasicOwner() noexcept = default;
    explicit BasicOwner(pointer value) noexcept : value_(value) {}
    ~BasicOwner() { reset(); }

    BasicOwner(BasicOwner&& other) noexcept : value_(other.release()) {}
    BasicOwner& operator=(BasicOwner&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    BasicOwner(const BasicOwner&) = delete;
    BasicOwner& operator=(const BasicOwner&) = delete;

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }

    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) {
            const DWORD lastError = ::GetLastError();
            Traits::close(old);
            ::SetLastError(lastError);
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

// Traits for values whose empty state is null, closed by `Close`.
template <typename T, auto Close>
struct NullEmptyTraits {
    using pointer = T;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { Close(value); }
};

// The usual owner: empty is null, `Close` releases the value.
template <typename T, auto Close>
using UniqueOwner = BasicOwner<NullEmptyTraits<T, Close>>;

// CreateFileW and friends report failure as INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer value) noexcept { ::CloseHandle(value); }
};

// FindFirstFileW reports failure as INVALID_HANDLE_VALUE too.
struct FindHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer value) noexcept { ::FindClose(value); }
};

// GlobalAddAtomW reports failure as 0.
struct GlobalAtomTraits {
    using pointer = ATOM;
    static pointer invalid() noexcept { return 0; }
    static void close(pointer value) noexcept { ::GlobalDeleteAtom(value); }
};

using UniqueHandle = UniqueOwner<HANDLE, ::CloseHandle>;
using UniqueFileHandle = BasicOwner<FileHandleTraits>;
using UniqueFindHandle = BasicOwner<FindHandleTraits>;
using UniqueGlobalAtom = BasicOwner<GlobalAtomTraits>;
using UniqueRegKey = UniqueOwner<HKEY, ::RegCloseKey>;
// A thread-pool wait from RegisterWaitForSingleObject, unregistered with
// UnregisterWaitEx so that a callback under way has finished when it goes.
inline void UnregisterWaitAndFinish(HANDLE wait) noexcept {
    ::UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
}
using UniqueThreadPoolWait = UniqueOwner<HANDLE, UnregisterWaitAndFinish>;
using UniqueLocalMemory = UniqueOwner<HLOCAL, ::LocalFree>;
using UniqueSid = UniqueOwner<PSID, ::FreeSid>;
using UniqueModule = UniqueOwner<HMODULE, ::FreeLibrary>;
using UniqueDesktop = UniqueOwner<HDESK, ::CloseDesktop>;
// From CreateEnvironmentBlock (userenv).
using UniqueEnvironmentBlock = UniqueOwner<LPVOID, ::DestroyEnvironmentBlock>;
// A memory DC from CreateCompatibleDC, and whatever is selected into it goes
// with it only if the caller restores the old selection first.
using UniqueMemoryDc = UniqueOwner<HDC, ::DeleteDC>;
using UniqueBitmap = UniqueOwner<HBITMAP, ::DeleteObject>;
using UniqueBrush = UniqueOwner<HBRUSH, ::DeleteObject>;
using UniqueFont = UniqueOwner<HFONT, ::DeleteObject>;
using UniqueRegion = UniqueOwner<HRGN, ::DeleteObject>;
// A window this code made and destroys itself. A window owned by another
// goes with its owner too: destroy it here first, while the owner lives.
using UniqueWindow = UniqueOwner<HWND, ::DestroyWindow>;

// A window's (or the screen's) DC from GetDC, released with ReleaseDC on the
// same window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            const DWORD lastError = ::GetLastError();
            ::ReleaseDC(window_, dc_);
            ::SetLastError(lastError);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a DC and puts the old one back on scope exit.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_ != nullptr && old_ != SelectError()) {
            ::SelectObject(dc_, old_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    explicit operator bool() const noexcept { return old_ != nullptr && old_ != SelectError(); }

  private:
    // HGDI_ERROR without the macro's sign-changing cast.
    static HGDIOBJ SelectError() noexcept { return reinterpret_cast<HGDIOBJ>(LONG_PTR{-1}); }

    HDC dc_;
    HGDIOBJ old_;
};

// The two handles CreateProcess* returns.
struct UniqueProcessInformation {
    UniqueHandle process;
    UniqueHandle thread;
    DWORD processId = 0;
    DWORD threadId = 0;

    // Takes ownership of both handles of a filled PROCESS_INFORMATION.
    void adopt(const PROCESS_INFORMATION& info) noexcept {
        process.reset(info.hProcess);
        thread.reset(info.hThread);
        processId = info.dwProcessId;
        threadId = info.dwThreadId;
    }
};

}  // namespace lensbeacon
