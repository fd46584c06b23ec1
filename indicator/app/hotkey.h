// The machine maker's hotkey utility broadcasts a registered window message
// when the camera may have been switched by a hotkey; wParam 235 means just
// that. The main frame then asks the service to look at the camera again by
// setting the Change event.
#pragma once

#include <windows.h>

namespace lensbeacon::indicator {

inline constexpr const wchar_t* kHotkeyMessageName =
    L"ACPI Notification through Tapwarden from BIOS";
inline constexpr WPARAM kHotkeyCameraChanged = 235;

// RegisterWindowMessageW for the utility's message: its number, or 0 when it
// cannot be registered. 0 is never a message to react to, so callers test
// `hotkeyMessage != 0 && message == hotkeyMessage`.
[[nodiscard]] UINT RegisterHotkeyMessage();

// Sets the Change event when wParam is 235. TRUE only when the event was
// opened and set; any other wParam, or no Change event, does nothing.
[[nodiscard]] BOOL OnHotkeyMessage(WPARAM wParam);

}  // namespace lensbeacon::indicator
