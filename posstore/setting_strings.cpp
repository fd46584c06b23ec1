#include "setting_strings.h"

#include <cwchar>

#include "lensbeacon/names.h"
#include "lensbeacon/registry_value.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

bool ReadSettingString(const wchar_t* name, PathBuffer& text) {
    text[0] = L'\0';
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    wchar_t data[kSettingStringDataBytes / sizeof(wchar_t)] = {};
    DWORD size = sizeof(data);
    // A longer value fails with ERROR_MORE_DATA and stays unread.
    if (::RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                           &size) != ERROR_SUCCESS) {
        return false;
    }
    // Only the characters the registry returned count; the text must end
    // within them, so nothing past the data is ever taken.
    const std::size_t returned = size / sizeof(wchar_t);
    const std::size_t length = ::wcsnlen(data, returned);
    if (length == returned) {
        return false;
    }
    std::wmemcpy(text, data, length + 1);
    return true;
}

bool WriteSettingString(const wchar_t* name, const wchar_t* text) {
    const std::size_t length = ::wcsnlen(text, kPathCapacity);
    if (length == kPathCapacity) {
        return false;
    }
    PathBuffer copy;
    std::wmemcpy(copy, text, length + 1);
    const DWORD bytes = static_cast<DWORD>((length + 1) * sizeof(wchar_t));
    return WriteSettingValue(name, REG_SZ, copy, bytes);
}

}  // namespace lensbeacon
