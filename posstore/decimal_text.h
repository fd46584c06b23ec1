// Decimal text for the four position values kept in the registry as strings.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lensbeacon {

// Parses leading white space, an optional sign and then digits up to the first
// other character; no digits gives 0. Values beyond the 32-bit range saturate
// at its ends instead of wrapping.
[[nodiscard]] std::int32_t ParseDecimal(const wchar_t* text);

// Writes `value` as "%d" would, terminated. `capacity` must hold at least 12
// characters; returns false (leaving `text` empty when it can) otherwise.
[[nodiscard]] bool FormatDecimal(std::int32_t value, wchar_t* text, std::size_t capacity);

}  // namespace lensbeacon
