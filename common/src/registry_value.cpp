#include "lensbeacon/registry_value.h"

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

RawRegistryDword ReadRawRegistryDword(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                                      REGSAM extraAccess) {
    RawRegistryDword raw;
    UniqueRegKey key;
    if (::RegOpenKeyExW(root, subKey, 0, kKeyRead | extraAccess, key.put()) != ERROR_SUCCESS) {
        return raw;
    }
    raw.size = sizeof(raw.value);
    // A larger value fails with ERROR_MORE_DATA; a shorter one reports its
    // true size, so neither is ever read past the four bytes asked for.
    raw.read = ::RegQueryValueExW(key.get(), valueName, nullptr, &raw.type,
                                  reinterpret_cast<BYTE*>(&raw.value), &raw.size) == ERROR_SUCCESS;
    return raw;
}

bool ReadRegistryDword(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                       REGSAM extraAccess, DWORD& value) {
    const RawRegistryDword raw = ReadRawRegistryDword(root, subKey, valueName, extraAccess);
    if (!raw.read || raw.size != sizeof(raw.value) ||
        (raw.type != REG_DWORD && raw.type != REG_BINARY)) {
        return false;
    }
    value = raw.value;
    return true;
}

bool WriteSettingValue(const wchar_t* valueName, DWORD type, const void* data, DWORD bytes) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, kKeyAllAccess, key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExW(key.get(), valueName, 0, type, static_cast<const BYTE*>(data), bytes) ==
           ERROR_SUCCESS;
}

void ForEachSubkeyName(HKEY key, DWORD limit, const std::function<void(std::wstring)>& visit) {
    constexpr DWORD kNameCapacity = 256;
    for (DWORD index = 0; index < limit; ++index) {
        wchar_t name[kNameCapacity];
        DWORD length = kNameCapacity;
        const LONG result =
            ::RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_SUCCESS && length < kNameCapacity) {
            visit(std::wstring(name, length));
        } else if (result != ERROR_MORE_DATA) {
            return;  // no more subkeys, or the key went away
        }
    }
}

}  // namespace lensbeacon
