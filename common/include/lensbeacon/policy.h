// The organisation's policy for the suite (Group Policy or Intune, through
// the policy key of names.h). Each value is a REG_DWORD of 1 or 0 that holds
// a setting on or off over the settings key's value of the same name.
// Registry data is untrusted: a missing value, another type, another size or
// another number is "not configured", and the setting is the suite's own.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lensbeacon {

enum class PolicySetting : int32_t { NotConfigured = -1, Off = 0, On = 1 };

// The setting a read of a policy value gave: only a REG_DWORD of exactly
// four bytes holding 0 or 1 is configured.
[[nodiscard]] constexpr PolicySetting PolicySettingFrom(DWORD type, DWORD size,
                                                        DWORD value) noexcept {
    if (type != REG_DWORD || size != sizeof(DWORD) || value > 1) {
        return PolicySetting::NotConfigured;
    }
    return value == 1 ? PolicySetting::On : PolicySetting::Off;
}

// A configured policy wins; otherwise the suite's own setting stands.
[[nodiscard]] constexpr bool PolicyOr(PolicySetting policy, bool own) noexcept {
    return policy == PolicySetting::NotConfigured ? own : policy == PolicySetting::On;
}

// Reads one value of the policy key in the native view. Not configured when
// the key or the value is missing or the value is malformed.
[[nodiscard]] PolicySetting ReadPolicySetting(const wchar_t* valueName);

}  // namespace lensbeacon
