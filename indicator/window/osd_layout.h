// The indicator window's geometry at the dots per inch of the monitor it is
// on: every length of the 96-dpi design (the 128 x 75 window, the glyph, the
// caption band and its type, the close button, the drag threshold and the
// placement margins) scaled by dpi / 96 with the one rounding rule of
// lensbeacon/dpi_scale.h, and the artwork drawn for it: the 1x, 1.5x or 2x
// images, the nearest at or above the scale, scaled down when it is larger.
#pragma once

#include "lensbeacon/dpi_scale.h"
#include "mouse_event_ctrl.h"
#include "window_placement.h"

namespace lensbeacon::indicator {

// The dots per inch a layout accepts; anything outside is drawn at 96.
inline constexpr int kLowestDpi = 48;
inline constexpr int kHighestDpi = 960;

// The scales the images are drawn at, in percent, smallest first.
inline constexpr int kArtworkPercents[] = {100, 150, 200};

struct OsdLayout {
    int dpi = kBaseDpi;
    int width = 128;
    int height = 75;
    // The glyph square, at the top of the window.
    int glyphLeft = 34;
    int glyphSize = 60;
    // The caption band starts under the glyph and reaches past the bottom
    // edge; its text is fitted between insets at each end.
    int captionTop = 52;
    int captionOverhang = 22;
    int captionInset = 4;
    float captionSize = 13.0f;
    float captionFloor = 10.0f;
    // The close button, at the right edge.
    int buttonSize = 34;
    int buttonTop = 15;
    // How far the pointer must move from a press on the glyph, in either
    // direction, before the press becomes a drag.
    int dragThreshold = 1;
    PlacementMargins margins;
    // The artwork the images are taken from, in percent (100, 150 or 200).
    int artworkPercent = 100;
    HitRect closeHit{94.0f, 0.0f, 34.0f, 34.0f};
    HitRect glyphHit{34.0f, 0.0f, 60.0f, 60.0f};

    int ButtonLeft() const noexcept { return width - buttonSize; }
};

// The layout at `dpi`; at 96 (or any dpi outside kLowestDpi..kHighestDpi)
// exactly the designed one.
OsdLayout LayoutForDpi(int dpi) noexcept;

// The artwork for `dpi`: the smallest of kArtworkPercents at or above
// dpi / 96, the largest beyond it.
int ArtworkPercentForDpi(int dpi) noexcept;

// The dots per inch of a WM_DPICHANGED's wParam (its low word, the x axis).
int DpiOfChange(WPARAM wParam) noexcept;

}  // namespace lensbeacon::indicator
