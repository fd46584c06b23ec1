#include "decimal_text.h"

#include <limits>

namespace lensbeacon {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

}  // namespace

std::int32_t ParseDecimal(const wchar_t* text) {
    if (text == nullptr) {
        return 0;
    }
    while (IsBlank(*text)) {
        ++text;
    }
    bool negative = false;
    if (*text == L'+' || *text == L'-') {
        negative = *text == L'-';
        ++text;
    }
    // Accumulate as a magnitude in 64 bits and stop growing once past the
    // range, so any number of digits is safe.
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        if (magnitude <= limit) {
            magnitude = magnitude * 10 + (*text - L'0');
        }
    }
    if (magnitude > limit) {
        magnitude = limit;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

bool FormatDecimal(std::int32_t value, wchar_t* text, std::size_t capacity) {
    constexpr std::size_t kLongest = 12;  // "-2147483648" and its terminator
    if (capacity < kLongest) {
        if (capacity > 0) {
            text[0] = L'\0';
        }
        return false;
    }
    wchar_t digits[kLongest];
    std::size_t count = 0;
    // Work on the magnitude in 64 bits: -INT32_MIN does not fit in 32.
    std::int64_t magnitude = value;
    if (magnitude < 0) {
        magnitude = -magnitude;
    }
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::size_t length = 0;
    if (value < 0) {
        text[length++] = L'-';
    }
    while (count > 0) {
        text[length++] = digits[--count];
    }
    text[length] = L'\0';
    return true;
}

}  // namespace lensbeacon
