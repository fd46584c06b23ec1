#include "drawing/scale.h"

#include <climits>

namespace lensbeacon::settings {

float g_scale = 1.0f;
float g_fontScale = 1.0f;

int ScaleValue(int value, float scale) noexcept {
    // Rounded in double so that large sides keep their precision; the int
    // conversion truncates toward zero, as the layout numbers expect.
    const double scaled = static_cast<double>(value) * static_cast<double>(scale) + 0.5;
    if (!(scaled < static_cast<double>(INT_MAX))) {
        return scaled != scaled ? 0 : INT_MAX;  // NaN gives 0
    }
    if (!(scaled > static_cast<double>(INT_MIN))) {
        return INT_MIN;
    }
    return static_cast<int>(scaled);
}

int Scaled(int value) noexcept {
    return ScaleValue(value, g_scale);
}

}  // namespace lensbeacon::settings
