// The two device properties the check reads, taken apart as untrusted bytes:
// each must carry the property type and shape it is documented with before
// any of it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "device_check.h"  // DeviceText

namespace lensbeacon {

// DEVPROP_TYPE_BINARY, the type of the power data.
inline constexpr uint32_t kPowerDataPropertyType = 0x1003;
// sizeof(CM_POWER_DATA).
inline constexpr std::size_t kPowerDataSize = 56;
// DEVPROP_TYPE_STRING_LIST, the type of the location paths.
inline constexpr uint32_t kStringListPropertyType = 0x2012;

// PD_MostRecentPowerState (at byte 4) of power data of the right type that
// holds a whole record; empty otherwise. A longer record (the structure
// carries its own size, so it may grow) is read like the known one.
[[nodiscard]] std::optional<int32_t> PowerStateFromPowerData(uint32_t type, const uint8_t* data,
                                                             std::size_t size);

// The first string of a string list of the right type that ends in two NULs
// within `size` bytes. False, leaving `first` untouched, for any other data
// or when the string does not fit.
[[nodiscard]] bool FirstStringOfList(uint32_t type, const uint8_t* data, std::size_t size,
                                     DeviceText& first);

}  // namespace lensbeacon
