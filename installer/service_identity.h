// The camera-watch service as the installer registers it.
#pragma once

#include <windows.h>

namespace lensbeacon {

inline constexpr const wchar_t* kServiceName = L"LenswatchService";
inline constexpr const wchar_t* kServiceDisplayName = L"Lensbeacon Check Service";
// The service program, found in the installer's own folder.
inline constexpr const wchar_t* kServiceProgram = L"Lenswatch.exe";
// Parent of the service's registry key, under HKEY_LOCAL_MACHINE.
inline constexpr const wchar_t* kServicesKey = L"SYSTEM\\CurrentControlSet\\Services\\";

}  // namespace lensbeacon
