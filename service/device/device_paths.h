// Text rules of the device check: the port number in a location path and the
// hub path formed from a hub's interface path.
#pragma once

#include <cstdint>

#include "device_check.h"

namespace lensbeacon {

// Location paths are groups NAME(number) joined by '#'. From the right, the
// first group whose number (read as _wtoi reads it) is not 0 gives the port;
// 0 when every group carries 0 or the text has no further "(...)".
[[nodiscard]] int32_t PortFromLocationPath(const wchar_t* location);

// The interface path up to and including its last '#', followed by the USB
// hub interface GUID. Refused (false, `hubPath` untouched) when the path has
// no '#' or the result would not fit.
[[nodiscard]] bool HubPathFromInterfacePath(const wchar_t* interfacePath, DeviceText& hubPath);

}  // namespace lensbeacon
