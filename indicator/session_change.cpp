// The session-notification table and the position-saving decisions.
#include "session_change.h"

#include <wtsapi32.h>

#include <cstdint>

namespace lensbeacon::indicator {
namespace {

std::int32_t Load(const std::atomic<std::int32_t>& value) {
    return value.load(std::memory_order_relaxed);
}

void Store(std::atomic<std::int32_t>& value, std::int32_t newValue) {
    value.store(newValue, std::memory_order_relaxed);
}

bool CameraShownHere(const IndicatorState& state) {
    return Load(state.cameraOn) != 0 && state.DesktopInFront();
}

bool OnLogonDesktop(const IndicatorState& state) {
    return Load(state.ordinaryDesktop) == FALSE;
}

// A lock or unlock moves the camera's indicator between the two desktops:
// the instance whose desktop comes to the front shows it, the other hides it.
void PostForLockChange(std::int32_t expectedLockState, bool userDesktopComesToFront,
                       IndicatorState& state, SessionActions& actions) {
    if (Load(state.lockState) == expectedLockState && Load(state.cameraOn) != 0 &&
        Load(state.consoleState) == 1) {
        const bool show =
            OnLogonDesktop(state) ? !userDesktopComesToFront : userDesktopComesToFront;
        actions.PostShowHide(show ? kOsdShow : kOsdHide);
    }
}

}  // namespace

void HandleSessionChange(WPARAM code, IndicatorState& state, SessionActions& actions) {
    switch (code) {
        case WTS_CONSOLE_CONNECT:
            if (Load(state.consoleState) == 0) {
                actions.RestorePosition();
                if (CameraShownHere(state)) {
                    actions.PostShowHide(kOsdShow);
                }
            }
            Store(state.consoleState, 1);
            break;
        case WTS_CONSOLE_DISCONNECT:
            if (Load(state.consoleState) == 1) {
                if (OnLogonDesktop(state)) {
                    actions.SavePosition();
                }
                if (CameraShownHere(state)) {
                    actions.PostShowHide(kOsdHide);
                }
            }
            Store(state.consoleState, 0);
            break;
        case WTS_SESSION_LOCK:
            PostForLockChange(1, false, state, actions);
            Store(state.lockState, 0);
            break;
        case WTS_SESSION_UNLOCK:
            PostForLockChange(0, true, state, actions);
            Store(state.lockState, 1);
            break;
        default:
            break;
    }
}

bool SavesAtEndSession(WPARAM endingForReal, const IndicatorState& state) noexcept {
    return endingForReal != FALSE && OnLogonDesktop(state) && Load(state.consoleState) == 1;
}

void HandleEndSession(WPARAM endingForReal, IndicatorState& state, SessionActions& actions) {
    if (SavesAtEndSession(endingForReal, state)) {
        state.positionSaved = TRUE;
        actions.SavePosition();
    }
}

bool SavesAtShutdown(const IndicatorState& state) noexcept {
    return OnLogonDesktop(state) && Load(state.consoleState) == 1 && !state.positionSaved;
}

}  // namespace lensbeacon::indicator
