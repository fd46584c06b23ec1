#include "service_settings.h"

#include "lensbeacon/names.h"
#include "lensbeacon/registry_value.h"
#include "lensbeacon/wow64.h"

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
    const DWORD value = on ? 1 : 0;
    return WriteSettingValue(kShowOsdValue, REG_DWORD, &value, sizeof(value));
}

bool ReadNoPhysicalCameraLed() {
    const REGSAM view = RunningUnderWow64() ? KEY_WOW64_64KEY : 0;
    DWORD value = 0;
    return ReadRegistryDword(HKEY_LOCAL_MACHINE, kCaptureKey, kNoPhysicalCameraLedValue, view,
                             value) &&
           value == 1;
}

}  // namespace lensbeacon
