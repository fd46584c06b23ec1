// Process-wide scale factors of the settings program and the one rounding rule
// every scaled layout value and image side follows.
#pragma once

namespace lensbeacon::settings {

// Layout and image scale: 1.0 until the dialog sets it once from the screen's
// dots per inch (1.0 or 1.25).
extern float g_scale;
// Font-size factor: 1.0 until the dialog sets it to g_scale once the
// DirectWrite factory exists.
extern float g_fontScale;

// (int)(value * scale + 0.5), the rounding of every scaled value. Results
// beyond the int range are clamped to it instead of overflowing.
int ScaleValue(int value, float scale) noexcept;

// ScaleValue at g_scale.
int Scaled(int value) noexcept;

}  // namespace lensbeacon::settings
