// The event listener: the indicator program's worker thread. It turns the
// service's On, Off and Service events into window messages. On and Off are
// manual-reset level signals, so it waits for them in turn (On, then Off,
// then On ...), which makes single show and hide edges of them; it never sets
// or resets them. The Service event, or a missing On or Off event, ends the
// program.
//
// An On that finds another desktop receiving input (a consent prompt or
// another secure desktop in front of the user's) shows nothing at once, and
// no session notification tells of that desktop's end. So the user-desktop
// instance asks again every kInputPollMs for as long as On stays signalled,
// and shows the indicator once its desktop receives input. Windows offers no
// notification of the input desktop's return that a program on the user's
// desktop can rely on. While the camera is off nothing is asked: the wait
// for On has no time-out.
//
// RunListener is the thread's whole behaviour over ListenerPort, so tests run
// it without threads or events; Listener starts and stops the real thread.
#pragma once

#include <windows.h>

#include "indicator_state.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {

enum class CameraEvent { On, Off, Service };

// How often an On that another desktop kept from showing asks again.
inline constexpr DWORD kInputPollMs = 250;

// What the listener thread asks of the system.
class ListenerPort {
  public:
    virtual ~ListenerPort() = default;
    // OpenEventW(SYNCHRONIZE, FALSE, the event's name); the handle is kept
    // until CloseEvents.
    [[nodiscard]] virtual bool OpenEvent(CameraEvent which) = 0;
    // WaitForMultipleObjects over {stopEvent, `awaited`, Service event},
    // of which the first `count` (2 or 3), any one, for up to `timeoutMs`
    // (INFINITE for none). Returns its result: WAIT_OBJECT_0 + index,
    // WAIT_TIMEOUT or WAIT_FAILED.
    [[nodiscard]] virtual DWORD WaitAny(CameraEvent awaited, DWORD count, DWORD timeoutMs) = 0;
    // Whether `which` is signalled now (a wait of no time on it).
    [[nodiscard]] virtual bool IsSignaled(CameraEvent which) = 0;
    // Closes the events that opened.
    virtual void CloseEvents() = 0;
    // ProcessIdToSessionId(GetCurrentProcessId()); false when it fails.
    [[nodiscard]] virtual bool ProcessSessionId(DWORD& session) = 0;
    // WTSGetActiveConsoleSessionId().
    [[nodiscard]] virtual DWORD ActiveConsoleSessionId() = 0;
    // GetUserObjectInformationW(UOI_IO) of the thread's desktop into
    // `receivesInput`, which a failed call leaves unchanged.
    virtual void DesktopReceivesInput(DWORD& receivesInput) = 0;
    // PostMessageW(indicator window, WM_OSD_SHOWHIDE, main frame, showOrHide).
    virtual void PostShowHide(LPARAM showOrHide) = 0;
    // PostMessageW(main frame, WM_OSD_QUIT, 0, 0).
    virtual void PostQuit() = 0;
};

// The thread's behaviour from opening the events to closing them. It ends on
// stopEvent, on a failed wait, on the Service event (posting quit) or at once
// when On or Off does not open (posting quit). Returns the thread result, 0.
// Only the wait for Off after a held-back On has a time-out.
DWORD RunListener(IndicatorState& state, ListenerPort& api);

// The listener thread of the running program. `state` must outlive the
// thread, which reads it until it ends (it is the process-wide state).
class Listener {
  public:
    Listener(IndicatorState& state, HWND frame, HWND indicator) noexcept
        : state_(state), frame_(frame), indicator_(indicator) {}
    ~Listener() { Stop(); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Creates the stop event and the thread, each only if not already there.
    // FALSE when either cannot be created; the program then runs on without
    // ever showing the indicator. A thread that has ended is not restarted.
    [[nodiscard]] BOOL Start();

    // Signals the stop event, gives the thread up to 1500 ms to end, then
    // closes both handles. The thread works on its own copy of the stop
    // event, so a thread that outlives the wait cannot wait on a closed
    // handle.
    void Stop();

    [[nodiscard]] bool Running() const noexcept { return static_cast<bool>(thread_); }

  private:
    IndicatorState& state_;
    HWND frame_;
    HWND indicator_;
    UniqueHandle stopEvent_;
    UniqueHandle thread_;
};

}  // namespace lensbeacon::indicator
