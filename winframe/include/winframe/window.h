// The window base of the skeleton: one C++ object per window, a virtual
// window procedure, and subclassing that reaches the object from the very
// first message of a window it creates.
//
// How a window reaches its object: the window's procedure is replaced by the
// skeleton's own, and the owning object is kept in a window property. The
// procedure that was there before is called by DefaultProc. When something
// else subclasses the window later and is still in place when the object lets
// go (Detach, destruction), the skeleton's procedure cannot be taken out of
// the chain without breaking it; it then stays and only passes every message
// on to the procedure it had replaced. A later Subclass of such a window takes
// over that place in the chain again.
//
// Object lifetime: a Window may be deleted from within its own WindowProc
// (and so from any handler or from OnFinalDestroy, the usual place for
// `delete this`); the skeleton touches nothing of the object after the
// WindowProc that deleted it returns. The handler itself must not use the
// object after `delete this`. The destructor lets go of the window first, so a
// window it destroys sends its last messages to the previous procedure, never
// to a half-destroyed object: a derived class that needs its own handlers for
// WM_DESTROY calls DestroyWindow in its own destructor.
#pragma once

#include <windows.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::winframe {

class Window {
  public:
    Window() noexcept;
    // Destroys a window this object created and that still exists; lets go of
    // a window it merely subclassed, which lives on.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const noexcept { return handle_; }

    // Creates a window of any registered class and subclasses it while it is
    // created, so WM_NCCREATE, WM_CREATE and everything after reach
    // WindowProc. The instance passed to CreateWindowExW is the module this
    // code is linked into. FALSE on failure (Handle() stays null); FALSE too
    // if this object already has a window.
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                  int y, int width, int height, HWND parent, HMENU menuOrId,
                  void* createParam = nullptr);

    // CreateEx with what `cs` describes. A null cs.lpszClass means a class
    // registered once for these class fields (see ClassForCreation).
    BOOL CreateFromStruct(const CREATESTRUCTW& cs, UINT classStyle, HCURSOR cursor,
                          HBRUSH background, HICON icon);

    // Subclasses an existing window of this process. FALSE if the window is
    // null, belongs to another process, already has a Window, or this object
    // already has a window.
    BOOL Subclass(HWND window);

    // Lets go of the window without destroying it and gives its handle back;
    // the previous window procedure is restored when nothing subclassed the
    // window after us. Null if there is no window.
    HWND Detach();

    // The object that owns a window of this process, or null.
    static Window* FromHandle(HWND window) noexcept;

    BOOL DestroyWindow();

    // Whether the window is on its way out: WM_DESTROY has reached it.
    bool BeingDestroyed() const noexcept { return handle_ != nullptr && beingDestroyed_; }

    // Something that must end with the window rather than with whatever holds
    // it (an accessible object a screen reader keeps): told once, when
    // WM_DESTROY reaches the window (before WindowProc sees it), when the
    // object lets go of the window, or when the object goes, whichever comes
    // first. It is then no longer watched.
    class DestroyWatcher {
      public:
        virtual void OnWindowEnds() noexcept = 0;

      protected:
        DestroyWatcher() = default;
        ~DestroyWatcher() = default;
        DestroyWatcher(const DestroyWatcher&) = delete;
        DestroyWatcher& operator=(const DestroyWatcher&) = delete;

      private:
        friend class Window;
        DestroyWatcher* next_ = nullptr;
    };
    // Watches must be ended (UnwatchDestroy) by a watcher that goes first.
    void WatchDestroy(DestroyWatcher& watcher) noexcept;
    void UnwatchDestroy(DestroyWatcher& watcher) noexcept;

  protected:
    // Every message of the window; the default passes it to DefaultProc.
    // WM_NCDESTROY always arrives here; an override should pass it on too.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The window procedure this object replaced (the class's, or an earlier
    // subclasser's), through CallWindowProcW.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Called once the window is gone: after WM_NCDESTROY went through
    // WindowProc, the previous procedure was restored and Handle() became
    // null. The default does nothing; `delete this` is allowed here.
    virtual void OnFinalDestroy();

    // A message the parent passes back to the control it concerns (see
    // ReflectToControl). TRUE when handled, with the answer in `result`.
    virtual BOOL OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // For a parent's WindowProc: hands WM_DRAWITEM to the Window that owns
    // the control named in it. TRUE when that control handled it.
    static BOOL ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Whether the last CreateEx (or modal dialog run) got as far as the window
    // existing, even if its creation failed afterwards. A window that existed
    // took the menu passed to it and destroys it itself.
    bool WindowWasCreated() const noexcept { return windowWasCreated_; }

    // Subclasses the first window the calling thread creates while this
    // object lives, as CreateEx does; for creation functions other than
    // CreateWindowExW (dialog boxes). Test it before creating.
    class CreationHook {
      public:
        explicit CreationHook(Window& window) noexcept;
        ~CreationHook();
        CreationHook(const CreationHook&) = delete;
        CreationHook& operator=(const CreationHook&) = delete;

        explicit operator bool() const noexcept { return static_cast<bool>(hook_); }

      private:
        UniqueOwner<HHOOK, ::UnhookWindowsHookEx> hook_;
        Window* outer_;
    };

  private:
    struct DispatchFrame;

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam);

    bool Attach(HWND window) noexcept;
    void FinishDestroy();
    // Tells every watcher and forgets them.
    void EndWatches() noexcept;

    HWND handle_ = nullptr;
    WNDPROC previous_ = nullptr;
    bool created_ = false;
    bool windowWasCreated_ = false;
    // Set from WM_DESTROY on: the window is on its way out, nobody destroys it
    // again.
    bool beingDestroyed_ = false;
    DispatchFrame* frames_ = nullptr;
    DestroyWatcher* watchers_ = nullptr;
};

}  // namespace lensbeacon::winframe
