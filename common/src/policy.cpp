#include "lensbeacon/policy.h"

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

PolicySetting ReadPolicySetting(const wchar_t* valueName) {
    UniqueRegKey key;
    // Group Policy writes the native view; on 32-bit Windows the flag is
    // ignored.
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS) {
        return PolicySetting::NotConfigured;
    }
    DWORD data = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(data);
    // A larger value fails with ERROR_MORE_DATA and is never read past the
    // four bytes asked for.
    if (::RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&data),
                           &size) != ERROR_SUCCESS) {
        return PolicySetting::NotConfigured;
    }
    return PolicySettingFrom(type, size, data);
}

}  // namespace lensbeacon
