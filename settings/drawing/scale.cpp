#include "drawing/scale.h"

#include "lensbeacon/dpi_scale.h"

namespace lensbeacon::settings {

float g_scale = 1.0f;
float g_fontScale = 1.0f;

int ScaleValue(int value, float scale) noexcept {
    // Rounded in double so that large sides keep their precision, by the
    // same rule as every length scaled with the display.
    return TruncatedLength(static_cast<double>(value) * static_cast<double>(scale) + 0.5);
}

int Scaled(int value) noexcept {
    return ScaleValue(value, g_scale);
}

}  // namespace lensbeacon::settings
