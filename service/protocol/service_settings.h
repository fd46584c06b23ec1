// The service's reads and writes of the settings key and the device maker's
// capture key.
#pragma once

#include <windows.h>

#include "lensbeacon/wow64.h"  // RunningUnderWow64

namespace lensbeacon {

// The user's switch. Only a successful read of 0 means off; a missing key or
// value, or data that is not a 4-byte number, means on.
[[nodiscard]] bool ReadShowOsd();

// True only when "CheckUSBCamera" reads exactly 1 (USB watch mode).
[[nodiscard]] bool ReadCheckUsbCamera();

// Persists the switch as a 4-byte REG_DWORD. The key is opened, never
// created; false when it cannot be opened or written.
[[nodiscard]] bool WriteShowOsd(bool on);

// True when the device maker declared the machine has no physical camera
// light. Under WOW64 the native 64-bit view of the capture key is read.
[[nodiscard]] bool ReadNoPhysicalCameraLed();

}  // namespace lensbeacon
