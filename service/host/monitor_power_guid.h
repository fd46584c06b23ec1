// The power setting the service registers for and recognises in its power
// events: the display's on/off state.
#pragma once

#include <windows.h>

namespace lensbeacon {

// GUID_MONITOR_POWER_ON {02731015-4510-4526-99e6-e5a17ebd1aea}
inline constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

}  // namespace lensbeacon
