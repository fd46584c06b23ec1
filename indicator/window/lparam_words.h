// The two 16-bit halves of a message's lParam, read without the old-style
// casts of the system's word macros.
#pragma once

#include <windows.h>

namespace lensbeacon::indicator {

constexpr WORD LowWord(LPARAM value) noexcept {
    return static_cast<WORD>(static_cast<DWORD_PTR>(value) & 0xFFFF);
}
constexpr WORD HighWord(LPARAM value) noexcept {
    return static_cast<WORD>((static_cast<DWORD_PTR>(value) >> 16) & 0xFFFF);
}
// A pointer coordinate: the half as a signed value (negative left of or above
// the origin).
[[nodiscard]] constexpr int SignedLowWord(LPARAM value) noexcept {
    return static_cast<SHORT>(LowWord(value));
}
[[nodiscard]] constexpr int SignedHighWord(LPARAM value) noexcept {
    return static_cast<SHORT>(HighWord(value));
}
// A point packed as the system packs pointer positions: x low, y high, each
// as 16 bits.
constexpr LPARAM PackPoint(int x, int y) noexcept {
    const DWORD packed =
        static_cast<DWORD>(static_cast<WORD>(x)) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16);
    return static_cast<LPARAM>(packed);
}

}  // namespace lensbeacon::indicator
