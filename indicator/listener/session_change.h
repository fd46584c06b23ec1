// The main frame's reactions to Windows session notifications: console
// connect and disconnect, lock and unlock (WM_WTSSESSION_CHANGE), and the end
// of the Windows session (WM_ENDSESSION) and of the program. They keep
// consoleState and lockState current, show or hide the indicator when this
// instance's desktop comes to the front or leaves it while the camera is on,
// and save the logon-desktop instance's position.
#pragma once

#include <windows.h>

#include "indicator_state.h"

namespace lensbeacon::indicator {

// What the handlers do to the program; the main frame implements it.
class SessionChangePort {
  public:
    virtual ~SessionChangePort() = default;
    // RestorePositionInformation, if the position store is bound.
    virtual void RestorePosition() = 0;
    // SavePositionInformation, if the position store is bound.
    virtual void SavePosition() = 0;
    // PostMessageW(indicator window, WM_OSD_SHOWHIDE, main frame, showOrHide)
    // with kOsdShow or kOsdHide.
    virtual void PostShowHide(LPARAM showOrHide) = 0;
};

// One WM_WTSSESSION_CHANGE notification, by its wParam. The new console or
// lock state is stored whether or not the old one called for an action; an
// unknown state (kStateUnknown) never calls for one. Other codes do nothing.
void HandleSessionChange(WPARAM code, IndicatorState& state, SessionChangePort& actions);

// WM_ENDSESSION: the logon-desktop instance attached to the console saves
// its position, but only when the session really ends (wParam TRUE). A
// cancelled end leaves positionSaved clear, so a later move is still saved
// at the next shut-down.
[[nodiscard]] bool SavesAtEndSession(WPARAM endingForReal, const IndicatorState& state) noexcept;

// Applies SavesAtEndSession: marks the position saved and saves it.
void HandleEndSession(WPARAM endingForReal, IndicatorState& state, SessionChangePort& actions);

// At shut-down the logon-desktop instance attached to the console saves its
// position unless the session end already did.
[[nodiscard]] bool SavesAtShutdown(const IndicatorState& state) noexcept;

}  // namespace lensbeacon::indicator
