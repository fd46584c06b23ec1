// The session-notification table and the position-saving decisions.
#include "session_change.h"

#include <wtsapi32.h>

#include <cstdint>

namespace lensbeacon::indicator {
namespace {

std::int32_t Load(const std::atomic<std::int32_t>& value) {
    return value.load();
}

bool CameraShownHere(const IndicatorState& state) {
    return Load(state.cameraOn) != 0 && state.DesktopInFront();
}

bool OnLogonDesktop(const IndicatorState& state) {
    return Load(state.ordinaryDesktop) == FALSE;
}

// A lock or unlock moves the camera's indicator between the two desktops:
// the instance whose desktop comes to the front shows it, the other hides it.
// The new lock state is stored before cameraOn is read, the listener's order
// reversed, so that an On handled at the same time is seen by one side or
// the other.
void PostForLockChange(std::int32_t newLockState, bool userDesktopComesToFront,
                       IndicatorState& state, SessionChangePort& actions) {
    const std::int32_t oldLockState = state.lockState.exchange(newLockState);
    if (oldLockState == 1 - newLockState && Load(state.cameraOn) != 0 &&
        Load(state.consoleState) == 1) {
        const bool show =
            OnLogonDesktop(state) ? !userDesktopComesToFront : userDesktopComesToFront;
        actions.PostShowHide(show ? kOsdShow : kOsdHide);
    }
}

}  // namespace

void HandleSessionChange(WPARAM code, IndicatorState& state, SessionChangePort& actions) {
    // Each new state is stored first and the old one tested after: see
    // PostForLockChange.
    switch (code) {
        case WTS_CONSOLE_CONNECT:
            if (state.consoleState.exchange(1) == 0) {
                actions.RestorePosition();
                if (CameraShownHere(state)) {
                    actions.PostShowHide(kOsdShow);
                }
            }
            break;
        case WTS_CONSOLE_DISCONNECT:
            if (state.consoleState.exchange(0) == 1) {
                if (OnLogonDesktop(state)) {
                    actions.SavePosition();
                }
                if (CameraShownHere(state)) {
                    actions.PostShowHide(kOsdHide);
                }
            }
            break;
        case WTS_SESSION_LOCK:
            PostForLockChange(0, false, state, actions);
            break;
        case WTS_SESSION_UNLOCK:
            PostForLockChange(1, true, state, actions);
            break;
        default:
            break;
    }
}

bool SavesAtEndSession(WPARAM endingForReal, const IndicatorState& state) noexcept {
    return endingForReal != FALSE && OnLogonDesktop(state) && Load(state.consoleState) == 1;
}

void HandleEndSession(WPARAM endingForReal, IndicatorState& state, SessionChangePort& actions) {
    if (SavesAtEndSession(endingForReal, state)) {
        state.positionSaved = TRUE;
        actions.SavePosition();
    }
}

bool SavesAtShutdown(const IndicatorState& state) noexcept {
    return OnLogonDesktop(state) && Load(state.consoleState) == 1 && !state.positionSaved;
}

}  // namespace lensbeacon::indicator
