// The camera-watch service as the installer registers it.
#pragma once

#include <windows.h>

#include "lensbeacon/names.h"  // kServiceName, kServiceDisplayName

namespace lensbeacon {

// The service program, found in the installer's own folder.
inline constexpr const wchar_t* kServiceProgram = L"Lenswatch.exe";
// Parent of the service's registry key, under HKEY_LOCAL_MACHINE.
inline constexpr const wchar_t* kServicesKey = L"SYSTEM\\CurrentControlSet\\Services\\";

}  // namespace lensbeacon
