// The one rounding rule of every length a window program scales with the
// display: the length at 96 dots per inch times dpi / 96, plus a half,
// truncated toward zero, as the settings program scales its layout.
#pragma once

namespace lensbeacon {

// The dots per inch at which every length is drawn at its designed size.
inline constexpr int kBaseDpi = 96;

// `scaled` (a scaled length plus a half) truncated toward zero, clamped to
// the int range; NaN gives 0.
constexpr int TruncatedLength(double scaled) noexcept {
    if (scaled != scaled) {
        return 0;
    }
    if (!(scaled < 2147483647.0)) {
        return 2147483647;
    }
    if (!(scaled > -2147483648.0)) {
        return -2147483647 - 1;
    }
    return static_cast<int>(scaled);
}

// `value` (a length at 96 dots per inch) at `dpi`. Rounded in double so
// that large lengths keep their precision; results beyond the int range are
// clamped to it.
constexpr int DpiScaled(int value, int dpi) noexcept {
    return TruncatedLength(static_cast<double>(value) * static_cast<double>(dpi) /
                               static_cast<double>(kBaseDpi) +
                           0.5);
}

}  // namespace lensbeacon
