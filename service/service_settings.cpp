#include "service_settings.h"

#include "lensbeacon/names.h"
#include "lensbeacon/proc_address.h"
#include "lensbeacon/registry_value.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

bool ReadShowOsd() {
    DWORD value = 0;
    if (!ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, kShowOsdValue, 0, value)) {
        return true;
    }
    return value != 0;
}

bool ReadCheckUsbCamera() {
    DWORD value = 0;
    return ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, kCheckUsbCameraValue, 0, value) &&
           value == 1;
}

bool WriteShowOsd(bool on) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, kKeyAllAccess, key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    const DWORD value = on ? 1 : 0;
    return ::RegSetValueExW(key.get(), kShowOsdValue, 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool RunningUnderWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process =
        ProcAddress<IsWow64ProcessFn>(::GetModuleHandleW(L"kernel32"), "IsWow64Process");
    BOOL wow64 = FALSE;
    if (isWow64Process == nullptr || !isWow64Process(::GetCurrentProcess(), &wow64)) {
        return false;
    }
    return wow64 != FALSE;
}

bool ReadNoPhysicalCameraLed() {
    const REGSAM view = RunningUnderWow64() ? KEY_WOW64_64KEY : 0;
    DWORD value = 0;
    return ReadRegistryDword(HKEY_LOCAL_MACHINE, kCaptureKey, kNoPhysicalCameraLedValue, view,
                             value) &&
           value == 1;
}

}  // namespace lensbeacon
