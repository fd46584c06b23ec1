// The user's switch as the service keeps it: the Setting Enable event is
// signaled while the indicator is on, and a pulse of the Setting Change event
// tells the service to read it again.
#pragma once

#include <windows.h>

namespace lensbeacon::settings {

inline constexpr int kSwitchOff = 0;
inline constexpr int kSwitchOn = 1;
// The Setting Enable event cannot be opened: the service does not run.
inline constexpr int kSwitchUndetermined = 2;

// 0 off, 1 on, 2 undetermined (the service does not run: the Setting Enable
// event cannot be opened).
int QuerySwitchState() noexcept;

// Sets (on) or resets Setting Enable, then sets Setting Change; only if both
// opened. TRUE then.
BOOL SetSwitchEvents(BOOL on) noexcept;

// The same over events of the given names (the service's names above).
int QuerySwitchStateOf(const wchar_t* enableName) noexcept;
BOOL SetSwitchEventsOf(BOOL on, const wchar_t* enableName, const wchar_t* changeName) noexcept;

}  // namespace lensbeacon::settings
