#include "winframe/window.h"

#include <utility>

#include "module_instance.h"
#include "winframe/application.h"
#include "winframe/window_class.h"

namespace lensbeacon::winframe {
namespace {

// The owning object of a window.
constexpr const wchar_t* kOwnerProperty = L"Lensbeacon.Winframe.Owner";
// The procedure the skeleton's procedure replaced, kept as long as the
// skeleton's procedure is in the window's chain, owner or not.
constexpr const wchar_t* kPreviousProperty = L"Lensbeacon.Winframe.Previous";

// The object whose CreateEx (or creation hook) waits for its window.
thread_local Window* t_awaitingWindow = nullptr;

HANDLE ProcToProperty(WNDPROC procedure) noexcept {
    return reinterpret_cast<HANDLE>(reinterpret_cast<LONG_PTR>(procedure));
}

WNDPROC PropertyToProc(HANDLE value) noexcept {
    return reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(value));
}

WNDPROC CurrentProc(HWND window) noexcept {
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
}

LRESULT CallPrevious(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (previous == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

bool InThisProcess(HWND window) noexcept {
    DWORD processId = 0;
    return ::GetWindowThreadProcessId(window, &processId) != 0 &&
           processId == ::GetCurrentProcessId();
}

}  // namespace

// One call of WindowProc on the stack. The destructor marks every frame of
// its object, so SubclassProc knows not to touch a deleted object.
struct Window::DispatchFrame {
    DispatchFrame* outer;
    bool objectGone;
};

Window::Window() noexcept = default;

Window::~Window() {
    for (DispatchFrame* frame = frames_; frame != nullptr; frame = frame->outer) {
        frame->objectGone = true;
    }
    frames_ = nullptr;
    EndWatches();
    if (t_awaitingWindow == this) {
        t_awaitingWindow = nullptr;
    }
    bool wasMain = false;
    if (Application* application = Application::Running();
        application != nullptr && application->MainWindow() == this) {
        application->SetMainWindow(nullptr);
        wasMain = true;
    }
    if (handle_ == nullptr) {
        return;
    }
    const bool destroy = created_ && !beingDestroyed_;
    bool gone = beingDestroyed_;
    HWND window = Detach();
    if (destroy) {
        gone = ::DestroyWindow(window) != FALSE;
    }
    if (gone && wasMain) {
        ::PostQuitMessage(0);
    }
}

BOOL Window::CreateFromStruct(const CREATESTRUCTW& cs, UINT classStyle, HCURSOR cursor,
                              HBRUSH background, HICON icon) {
    const wchar_t* className = ClassForCreation(cs.lpszClass, classStyle, cursor, background, icon);
    if (className == nullptr) {
        windowWasCreated_ = false;
        return FALSE;
    }
    return CreateEx(cs.dwExStyle, className, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                    cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.lpCreateParams);
}

BOOL Window::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                      int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                      void* createParam) {
    if (handle_ != nullptr) {
        return FALSE;
    }
    CreationHook hook(*this);
    if (!hook) {
        return FALSE;
    }
    // Nothing of the object is touched after the call: a handler may have
    // deleted it.
    return ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent,
                             menuOrId, detail::ModuleInstance(), createParam) != nullptr;
}

BOOL Window::Subclass(HWND window) {
    if (window == nullptr || handle_ != nullptr || !InThisProcess(window) ||
        ::GetPropW(window, kOwnerProperty) != nullptr) {
        return FALSE;
    }
    return Attach(window) ? TRUE : FALSE;
}

bool Window::Attach(HWND window) noexcept {
    if (!::SetPropW(window, kOwnerProperty, this)) {
        return false;
    }
    // Our procedure is still in the chain from an earlier owner that could not
    // leave it: take over that place instead of adding a second one.
    if (HANDLE kept = ::GetPropW(window, kPreviousProperty); kept != nullptr) {
        previous_ = PropertyToProc(kept);
        handle_ = window;
        beingDestroyed_ = false;
        return true;
    }
    const LONG_PTR old =
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
    if (old == 0) {
        ::RemovePropW(window, kOwnerProperty);
        return false;
    }
    previous_ = reinterpret_cast<WNDPROC>(old);
    if (!::SetPropW(window, kPreviousProperty, ProcToProperty(previous_))) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, old);
        ::RemovePropW(window, kOwnerProperty);
        previous_ = nullptr;
        return false;
    }
    handle_ = window;
    beingDestroyed_ = false;
    return true;
}

HWND Window::Detach() {
    EndWatches();
    if (handle_ == nullptr) {
        return nullptr;
    }
    HWND window = std::exchange(handle_, nullptr);
    created_ = false;
    ::RemovePropW(window, kOwnerProperty);
    if (CurrentProc(window) == &SubclassProc) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        ::RemovePropW(window, kPreviousProperty);
    }
    // Otherwise a later subclasser calls our procedure; it stays and, having
    // no owner, passes everything on to the procedure kept in the property.
    previous_ = nullptr;
    return window;
}

Window* Window::FromHandle(HWND window) noexcept {
    if (window == nullptr || !InThisProcess(window)) {
        return nullptr;
    }
    return static_cast<Window*>(::GetPropW(window, kOwnerProperty));
}

void Window::WatchDestroy(DestroyWatcher& watcher) noexcept {
    UnwatchDestroy(watcher);
    watcher.next_ = watchers_;
    watchers_ = &watcher;
}

void Window::UnwatchDestroy(DestroyWatcher& watcher) noexcept {
    for (DestroyWatcher** link = &watchers_; *link != nullptr; link = &(*link)->next_) {
        if (*link == &watcher) {
            *link = watcher.next_;
            watcher.next_ = nullptr;
            return;
        }
    }
}

void Window::EndWatches() noexcept {
    // Each watcher is off the list before it is told, so it may unwatch or
    // go away from within OnWindowEnds.
    while (DestroyWatcher* watcher = watchers_) {
        watchers_ = watcher->next_;
        watcher->next_ = nullptr;
        watcher->OnWindowEnds();
    }
}

BOOL Window::DestroyWindow() {
    if (handle_ == nullptr) {
        return FALSE;
    }
    return ::DestroyWindow(handle_);
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPrevious(previous_, handle_, message, wParam, lParam);
}

void Window::OnFinalDestroy() {}

BOOL Window::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return FALSE;
}

BOOL Window::ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM || lParam == 0) {
        return FALSE;
    }
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    Window* control = FromHandle(item->hwndItem);
    if (control == nullptr) {
        return FALSE;
    }
    return control->OnReflectedMessage(message, wParam, lParam, result);
}

void Window::FinishDestroy() {
    Detach();
    if (Application* application = Application::Running();
        application != nullptr && application->MainWindow() == this) {
        application->SetMainWindow(nullptr);
        ::PostQuitMessage(0);
    }
    OnFinalDestroy();
}

LRESULT CALLBACK Window::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = static_cast<Window*>(::GetPropW(window, kOwnerProperty));
    if (owner == nullptr || owner->handle_ != window) {
        // Left in a chain by an owner that is gone: only pass messages on.
        const LRESULT result = CallPrevious(PropertyToProc(::GetPropW(window, kPreviousProperty)),
                                            window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ::RemovePropW(window, kPreviousProperty);
        }
        return result;
    }
    if (message == WM_DESTROY || message == WM_NCDESTROY) {
        owner->beingDestroyed_ = true;
        owner->EndWatches();
    }
    DispatchFrame frame{owner->frames_, false};
    owner->frames_ = &frame;
    const LRESULT result = owner->WindowProc(message, wParam, lParam);
    if (frame.objectGone) {
        // Deleted from within its own WindowProc; the destructor has let go
        // of the window, apart from what a window on its way out still holds.
        if (message == WM_NCDESTROY) {
            ::RemovePropW(window, kPreviousProperty);
        }
        return result;
    }
    owner->frames_ = frame.outer;
    if (message == WM_NCDESTROY && owner->handle_ == window) {
        owner->FinishDestroy();
    }
    return result;
}

LRESULT CALLBACK Window::CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_awaitingWindow != nullptr) {
        Window* window = std::exchange(t_awaitingWindow, nullptr);
        window->windowWasCreated_ = true;
        if (!window->Attach(reinterpret_cast<HWND>(wParam))) {
            return 1;  // a window that cannot reach its object is not created
        }
        window->created_ = true;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

Window::CreationHook::CreationHook(Window& window) noexcept
    : hook_(::SetWindowsHookExW(WH_CBT, &CreationHookProc, nullptr, ::GetCurrentThreadId())),
      outer_(t_awaitingWindow) {
    window.windowWasCreated_ = false;
    if (hook_) {
        t_awaitingWindow = &window;
    }
}

// Normally the hook procedure took the object already; a creation that failed
// before the window existed leaves it here.
Window::CreationHook::~CreationHook() {
    t_awaitingWindow = outer_;
}

}  // namespace lensbeacon::winframe
