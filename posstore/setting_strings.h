// The position values' registry access: text values under the settings key in
// HKEY_LOCAL_MACHINE, opened without a view flag. The key is never created.
#pragma once

#include "lensbeacon/own_folder.h"

namespace lensbeacon {

// Largest value data read, in bytes; a longer value counts as unreadable.
inline constexpr unsigned long kSettingStringDataBytes = 256;

// Reads `name` as text into `text`. The registry data is untrusted: it counts
// as read only when it fits in 256 bytes and holds a terminator within the
// bytes returned; the value's type is not looked at. False leaves `text`
// empty.
[[nodiscard]] bool ReadSettingString(const wchar_t* name, PathBuffer& text);

// Writes `text` as REG_SZ, terminator included, into the existing settings
// key. False when the key is missing, not writable, `text` does not fit 260
// characters, or the write fails.
[[nodiscard]] bool WriteSettingString(const wchar_t* name, const wchar_t* text);

}  // namespace lensbeacon
