// The listener's state machine: which event it waits for, what it learns at
// the camera events, what it posts, and the look at the input desktop while
// an On is held back.
#include "listener.h"

#include <cstdint>

namespace lensbeacon::indicator {
namespace {

constexpr DWORD kCameraIndex = WAIT_OBJECT_0 + 1;
constexpr DWORD kServiceIndex = WAIT_OBJECT_0 + 2;

// Whether this session is attached to the console, learnt once. If the
// session cannot be read, it counts as attached. A console notification
// handled meanwhile is newer than the query and keeps its value.
void LearnConsoleState(IndicatorState& state, ListenerPort& api) {
    std::int32_t unknown = kStateUnknown;
    if (state.consoleState.load() != unknown) {
        return;
    }
    std::int32_t console = 1;
    DWORD session = 0;
    if (api.ProcessSessionId(session) && session != api.ActiveConsoleSessionId()) {
        console = 0;
    }
    state.consoleState.compare_exchange_strong(unknown, console);
}

// Whether the session is locked: the desktop that receives input is in
// front. Asked at every On, because a lock notification is not the only
// thing that takes input from a desktop: a consent prompt or the secure
// attention screen does it for a while too, and what was true at one camera
// event need not be at the next. If the input state cannot be read, the
// desktop counts as receiving input. A lock or unlock notification handled
// during the query is newer than its answer and keeps its value.
void LearnLockState(IndicatorState& state, ListenerPort& api) {
    std::int32_t before = state.lockState.load();
    DWORD receivesInput = 1;
    api.DesktopReceivesInput(receivesInput);
    const std::int32_t ordinary = state.ordinaryDesktop.load() != FALSE ? 1 : 0;
    state.lockState.compare_exchange_strong(before, receivesInput != 0 ? ordinary : 1 - ordinary);
}

// Whether an On that showed nothing is worth asking about again: the
// user-desktop instance on the console, held back only because its desktop
// did not receive input. The logon-desktop instance is held back whenever the
// session is unlocked, its normal case, and a session away from the console
// hears of its return from a notification.
bool AwaitsInputDesktop(const IndicatorState& state) {
    return state.ordinaryDesktop.load() != FALSE && state.consoleState.load() == 1 &&
           !state.DesktopInFront();
}

// One look at the input desktop while a held-back On waits for Off; whether
// to look again.
bool PollInputDesktop(IndicatorState& state, ListenerPort& api) {
    if (!api.IsSignaled(CameraEvent::On)) {
        return false;  // the camera is going off: Off follows
    }
    if (!AwaitsInputDesktop(state)) {
        return false;  // an unlock showed it meanwhile, or the console went
    }
    std::int32_t before = state.lockState.load();
    DWORD receivesInput = 1;
    api.DesktopReceivesInput(receivesInput);
    if (receivesInput == 0) {
        return true;
    }
    // The user's desktop receives input again. Of this look and an unlock
    // notification handled meanwhile, only the one that moves the lock state
    // to "user desktop in front" shows the indicator, so it shows once.
    if (state.lockState.compare_exchange_strong(before, 1)) {
        api.PostShowHide(kOsdShow);
    }
    return false;
}

}  // namespace

DWORD RunListener(IndicatorState& state, ListenerPort& api) {
    const bool onOpened = api.OpenEvent(CameraEvent::On);
    const bool offOpened = api.OpenEvent(CameraEvent::Off);
    const bool serviceOpened = api.OpenEvent(CameraEvent::Service);
    if (!onOpened || !offOpened) {
        api.PostQuit();
        api.CloseEvents();
        return 0;
    }
    // Without the Service event the program cannot learn that the service
    // stopped; it then ends only by other means.
    const DWORD count = serviceOpened ? 3 : 2;

    bool expectOn = true;
    bool polling = false;  // a held-back On waits for the input desktop
    for (;;) {
        const DWORD result = api.WaitAny(expectOn ? CameraEvent::On : CameraEvent::Off, count,
                                         polling ? kInputPollMs : INFINITE);
        if (result == WAIT_TIMEOUT && polling) {
            polling = PollInputDesktop(state, api);
            continue;
        }
        if (result == kServiceIndex && serviceOpened) {
            api.PostQuit();
            break;
        }
        if (result != kCameraIndex) {
            // stopEvent, or a failed wait that would fail again at once.
            break;
        }
        // cameraOn is stored before the console and lock states are read,
        // and the session-change handling stores those before it reads
        // cameraOn (all sequentially consistent): of an On and an unlock
        // handled at the same time, at least one side sees the other's
        // store and shows the indicator.
        state.cameraOn.store(expectOn ? 1 : 0);
        LearnConsoleState(state, api);
        polling = false;
        if (!expectOn) {
            api.PostShowHide(kOsdHide);
        } else {
            LearnLockState(state, api);
            if (state.consoleState.load() == 1 && state.DesktopInFront()) {
                api.PostShowHide(kOsdShow);
            } else {
                polling = AwaitsInputDesktop(state);
            }
        }
        expectOn = !expectOn;
    }
    api.CloseEvents();
    return 0;
}

}  // namespace lensbeacon::indicator
