// What a window tells screen readers: its accessible object (IAccessible),
// answered to WM_GETOBJECT for the client area, and the events that make a
// screen reader look at it again.
//
// A window that draws itself (a switch made of pictures, a layered
// indicator) has nothing a screen reader could read; it describes itself
// through an AccessiblePort and keeps an Accessible, which answers
// WM_GETOBJECT with an object over that source. The object may outlive the
// window in a screen reader's hands: the Accessible disconnects it as
// WM_DESTROY reaches the window (it watches the skeleton Window that owns
// it), or when the Accessible or that Window object goes, whichever comes
// first. Every later call answers "not connected" (CO_E_OBJNOTCONNECTED, or
// RPC_E_DISCONNECTED through a proxy), and every call sets all its outputs
// (VT_EMPTY, zero, null) before it can fail.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

#include "winframe/window.h"

namespace lensbeacon::winframe {

struct AccessibleDescription {
    std::wstring name;
    LONG role = ROLE_SYSTEM_CLIENT;
    LONG state = 0;              // STATE_SYSTEM_* flags
    std::wstring defaultAction;  // empty when there is none
    std::wstring description;    // more about it, read after the name; may be empty
};

class AccessiblePort {
  public:
    virtual ~AccessiblePort() = default;
    virtual AccessibleDescription Describe() = 0;
    // The default action (a check button's toggle); false when there is none.
    virtual bool DoDefaultAction() { return false; }
};

class AccessibleObject;

class Accessible final : private Window::DestroyWatcher {
  public:
    explicit Accessible(AccessiblePort& source) noexcept : source_(source) {}
    ~Accessible();
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;

    // Answers WM_GETOBJECT of `window` for OBJID_CLIENT; true with `result`
    // set when it did, false for other objects (pass those on), and false
    // once the window is being destroyed. A window that no skeleton Window
    // owns gets an object that ends only with the Accessible.
    bool AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result);

  private:
    void OnWindowEnds() noexcept override;
    // Cuts the object off from the source and from every proxy, and lets it go.
    void Disconnect() noexcept;

    AccessiblePort& source_;
    AccessibleObject* object_ = nullptr;  // one reference held here
    HWND window_ = nullptr;               // the object's window
    Window* owner_ = nullptr;             // watched while the object lives
};

// NotifyWinEvent for the window's client object.
void NotifyAccessibleEvent(DWORD event, HWND window);

}  // namespace lensbeacon::winframe
