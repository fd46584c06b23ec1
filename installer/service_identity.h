// The camera-watch service as the installer registers it.
#pragma once

#include <windows.h>

#include "lensbeacon/names.h"  // kServiceName, kServiceDisplayName, kServiceProgramFile

namespace lensbeacon {

// Parent of the service's registry key, under HKEY_LOCAL_MACHINE.
inline constexpr const wchar_t* kServicesKey = L"SYSTEM\\CurrentControlSet\\Services\\";

}  // namespace lensbeacon
