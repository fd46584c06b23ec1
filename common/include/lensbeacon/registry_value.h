// Reading the suite's 4-byte switch values from the registry. Registry data is
// untrusted: only a value of exactly four bytes, stored as REG_DWORD or as raw
// REG_BINARY bytes, counts as read. Anything else (a missing key or value, a
// string, a value of another size) is a failed read, and each caller applies
// its own rule for a failed read.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace lensbeacon {

// One value of at most four bytes as the registry holds it: its type, its
// true size and its bytes. `read` is false when the key or the value is
// missing or the value is larger (never read past the four bytes).
struct RawRegistryDword {
    bool read = false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    DWORD value = 0;
};
RawRegistryDword ReadRawRegistryDword(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                                      REGSAM extraAccess);

// Opens `subKey` under `root` with KEY_READ plus `extraAccess` (a view flag)
// and reads `valueName`. True, with `value` set, only for a valid 4-byte value.
[[nodiscard]] bool ReadRegistryDword(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                                     REGSAM extraAccess, DWORD& value);

// Writes one value of the settings key under HKEY_LOCAL_MACHINE. The key is
// opened, never created: a missing key means the product is not installed
// here. False when it cannot be opened or the write fails.
[[nodiscard]] bool WriteSettingValue(const wchar_t* valueName, DWORD type, const void* data,
                                     DWORD bytes);

// Calls `visit` with the name of each subkey of `key`, in order, at most
// `limit` of them. A name that does not fit a registry key name's 255
// characters is skipped; a key that goes away or cannot be read ends the walk.
void ForEachSubkeyName(HKEY key, DWORD limit, const std::function<void(std::wstring)>& visit);

}  // namespace lensbeacon
