#include "dialog/dialog_layout.h"

#include <algorithm>

namespace lensbeacon::settings {

float ScaleForDpi(int dpiX, int dpiY) noexcept {
    const float factor = static_cast<float>(std::min(dpiX, dpiY)) / 96.0f;
    return factor > 1.25f ? 1.25f : 1.0f;
}

POINT CentredIn(const RECT& workArea, int width, int height) noexcept {
    const LONG x = workArea.left + (workArea.right - workArea.left - width) / 2;
    const LONG y = workArea.top + (workArea.bottom - workArea.top - height) / 2;
    return POINT{std::max(x, workArea.left), std::max(y, workArea.top)};
}

}  // namespace lensbeacon::settings
