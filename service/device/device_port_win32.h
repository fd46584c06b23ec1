// The device check's system: SetupDi device lists and properties, and the USB
// hub's connection-information request.
#pragma once

#include <memory>

#include "device_check.h"

namespace lensbeacon {

// Null only when the object cannot be allocated.
[[nodiscard]] std::unique_ptr<DevicePort> CreateWin32DevicePort();

}  // namespace lensbeacon
