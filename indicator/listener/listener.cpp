// The listener's state machine: which event it waits for, what it learns at
// the camera events, and what it posts.
#include "listener.h"

#include <cstdint>

namespace lensbeacon::indicator {
namespace {

constexpr DWORD kCameraIndex = WAIT_OBJECT_0 + 1;
constexpr DWORD kServiceIndex = WAIT_OBJECT_0 + 2;

// Whether this session is attached to the console, learnt once. If the
// session cannot be read, it counts as attached. A console notification
// handled meanwhile is newer than the query and keeps its value.
void LearnConsoleState(IndicatorState& state, ListenerApi& api) {
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
void LearnLockState(IndicatorState& state, ListenerApi& api) {
    std::int32_t before = state.lockState.load();
    DWORD receivesInput = 1;
    api.DesktopReceivesInput(receivesInput);
    const std::int32_t ordinary = state.ordinaryDesktop.load() != FALSE ? 1 : 0;
    state.lockState.compare_exchange_strong(before, receivesInput != 0 ? ordinary : 1 - ordinary);
}

}  // namespace

DWORD RunListener(IndicatorState& state, ListenerApi& api) {
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
    for (;;) {
        const DWORD result = api.WaitAny(expectOn ? CameraEvent::On : CameraEvent::Off, count);
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
        if (!expectOn) {
            api.PostShowHide(kOsdHide);
        } else {
            LearnLockState(state, api);
            if (state.consoleState.load() == 1 && state.DesktopInFront()) {
                api.PostShowHide(kOsdShow);
            }
        }
        expectOn = !expectOn;
    }
    api.CloseEvents();
    return 0;
}

}  // namespace lensbeacon::indicator
