#include "osd_layout.h"

#include <iterator>

namespace lensbeacon::indicator {
namespace {

int UsableDpi(int dpi) noexcept {
    return dpi < kLowestDpi || dpi > kHighestDpi ? kBaseDpi : dpi;
}

HitRect Square(int x, int y, int side) noexcept {
    return HitRect{static_cast<float>(x), static_cast<float>(y), static_cast<float>(side),
                   static_cast<float>(side)};
}

}  // namespace

OsdLayout LayoutForDpi(int dpi) noexcept {
    dpi = UsableDpi(dpi);
    const OsdLayout design;
    const auto at = [dpi](int value) { return DpiScaled(value, dpi); };
    OsdLayout layout;
    layout.dpi = dpi;
    layout.width = at(design.width);
    layout.height = at(design.height);
    layout.glyphLeft = at(design.glyphLeft);
    layout.glyphSize = at(design.glyphSize);
    layout.captionTop = at(design.captionTop);
    layout.captionOverhang = at(design.captionOverhang);
    layout.captionInset = at(design.captionInset);
    // Type sizes are not rounded: DirectWrite draws them in fractions.
    const float scale = static_cast<float>(dpi) / static_cast<float>(kBaseDpi);
    layout.captionSize = design.captionSize * scale;
    layout.captionFloor = design.captionFloor * scale;
    layout.buttonSize = at(design.buttonSize);
    layout.buttonTop = at(design.buttonTop);
    layout.dragThreshold = at(design.dragThreshold);
    layout.margins.left = at(design.margins.left);
    layout.margins.top = at(design.margins.top);
    // The right limit keeps the window plus the left margin clear of the
    // screen's right edge, as at 96 dpi (128 + 11 = 139).
    layout.margins.rightReserve = layout.width + layout.margins.left;
    layout.artworkPercent = ArtworkPercentForDpi(dpi);
    layout.closeHit = Square(layout.ButtonLeft(), 0, layout.buttonSize);
    layout.glyphHit = Square(layout.glyphLeft, 0, layout.glyphSize);
    return layout;
}

int ArtworkPercentForDpi(int dpi) noexcept {
    dpi = UsableDpi(dpi);
    for (const int percent : kArtworkPercents) {
        // percent / 100 >= dpi / 96, in integers.
        if (percent * kBaseDpi >= dpi * 100) {
            return percent;
        }
    }
    return kArtworkPercents[std::size(kArtworkPercents) - 1];
}

int DpiOfChange(WPARAM wParam) noexcept {
    return static_cast<int>(static_cast<WORD>(wParam & 0xFFFF));
}

}  // namespace lensbeacon::indicator
