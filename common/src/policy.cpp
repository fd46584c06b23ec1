#include "lensbeacon/policy.h"

#include "lensbeacon/names.h"
#include "lensbeacon/registry_value.h"

namespace lensbeacon {

PolicySetting ReadPolicySetting(const wchar_t* valueName) {
    // Group Policy writes the native view; on 32-bit Windows the flag is
    // ignored.
    const RawRegistryDword raw =
        ReadRawRegistryDword(HKEY_LOCAL_MACHINE, kPolicyKey, valueName, KEY_WOW64_64KEY);
    return raw.read ? PolicySettingFrom(raw.type, raw.size, raw.value)
                    : PolicySetting::NotConfigured;
}

}  // namespace lensbeacon
