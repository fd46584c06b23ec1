// Test helper: what a screen reader learns about a window of another
// process, through oleacc, and the events it would be told of, through an
// out-of-context WinEvent hook.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace lensbeacon::test {

// The client object's name, role and state, as AccessibleObjectFromWindow
// gives them; `read` is false when the object or a property could not be had.
struct AccessibleFacts {
    bool read = false;
    std::wstring name;
    std::wstring description;
    LONG role = 0;
    LONG state = 0;
};
AccessibleFacts ClientAccessible(HWND window);

// The tooltip control owned by `owner` (a window of another process), and the
// text of its first tool, read through that process's memory as the control
// answers TTM_ENUMTOOLS; empty when there is none.
HWND ToolTipOf(HWND owner);
std::wstring ToolTipText(HWND tooltip);

// Records the WinEvents of one range raised by one process, with the facts of
// each event's object as AccessibleObjectFromEvent gives them in the hook.
// Events arrive only while this thread pumps messages: WaitFor pumps.
class WinEventRecorder {
  public:
    struct Event {
        DWORD event = 0;
        HWND window = nullptr;
        AccessibleFacts object;
    };

    WinEventRecorder(DWORD first, DWORD last, DWORD process);
    ~WinEventRecorder();
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;

    bool Hooked() const { return hook_ != nullptr; }
    // Pumps messages until an `event` from `window` (any window when null)
    // has been recorded since the last Clear, or `timeoutMs` passes.
    const Event* WaitFor(DWORD event, HWND window, DWORD timeoutMs);
    // The same, for an event whose object had `name` when it was heard.
    const Event* WaitForNamed(DWORD event, HWND window, const std::wstring& name, DWORD timeoutMs);
    void Clear() { events_.clear(); }

  private:
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                 DWORD, DWORD);
    const Event* Find(DWORD event, HWND window, const std::wstring* name) const;
    const Event* Wait(DWORD event, HWND window, const std::wstring* name, DWORD timeoutMs);

    bool com_;  // COM brings the other process's objects here
    HWINEVENTHOOK hook_ = nullptr;
    std::vector<Event> events_;
};

}  // namespace lensbeacon::test
