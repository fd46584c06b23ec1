// The listener's state machine: which event it waits for, what it learns on
// the first camera event, and what it posts.
#include "listener.h"

#include <cstdint>

namespace lensbeacon::indicator {
namespace {

constexpr DWORD kCameraIndex = WAIT_OBJECT_0 + 1;
constexpr DWORD kServiceIndex = WAIT_OBJECT_0 + 2;

// Whether this session is attached to the console. If the session cannot be
// read, it counts as attached.
void LearnConsoleState(IndicatorState& state, ListenerApi& api) {
    if (state.consoleState.load(std::memory_order_relaxed) != kStateUnknown) {
        return;
    }
    std::int32_t console = 1;
    DWORD session = 0;
    if (api.ProcessSessionId(session) && session != api.ActiveConsoleSessionId()) {
        console = 0;
    }
    state.consoleState.store(console, std::memory_order_relaxed);
}

// Whether the session is locked: the desktop that receives input is in
// front. If the input state cannot be read, the desktop counts as receiving
// input.
void LearnLockState(IndicatorState& state, ListenerApi& api) {
    if (state.lockState.load(std::memory_order_relaxed) != kStateUnknown) {
        return;
    }
    DWORD receivesInput = 1;
    api.DesktopReceivesInput(receivesInput);
    const std::int32_t ordinary = state.ordinaryDesktop.load(std::memory_order_relaxed) ? 1 : 0;
    state.lockState.store(receivesInput != 0 ? ordinary : 1 - ordinary, std::memory_order_relaxed);
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
        LearnConsoleState(state, api);
        LearnLockState(state, api);
        if (!expectOn) {
            api.PostShowHide(kOsdHide);
        } else if (state.consoleState.load(std::memory_order_relaxed) == 1 &&
                   state.DesktopInFront()) {
            api.PostShowHide(kOsdShow);
        }
        state.cameraOn.store(expectOn ? 1 : 0, std::memory_order_relaxed);
        expectOn = !expectOn;
    }
    api.CloseEvents();
    return 0;
}

}  // namespace lensbeacon::indicator
