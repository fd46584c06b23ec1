// The indicator at the dots per inch of its monitor: the scaled layout, the
// artwork chosen for it and its shrinking, placement with scaled margins,
// the pointer over the scaled glyph and close button, and a move to a
// monitor of another scale.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image_shrink.h"
#include "indicator_window_fakes.h"
#include "osd_layout.h"

namespace lensbeacon::indicator {
namespace {

using test::FakeStore;
using test::FakeWindow;
using test::OsdWindow;
using testing::ElementsAre;

struct LayoutRow {
    int dpi;
    int width, height;
    int glyphLeft, glyphSize;
    int captionTop, captionOverhang, captionInset;
    float captionSize, captionFloor;
    int buttonLeft, buttonTop, buttonSize;
    int dragThreshold;
    int leftMargin, topMargin, rightReserve;
    int artwork;
};

// Each length is the 96-dpi one times dpi / 96, plus a half, truncated.
constexpr LayoutRow kLayouts[] = {
    {96, 128, 75, 34, 60, 52, 22, 4, 13.0f, 10.0f, 94, 15, 34, 1, 11, 9, 139, 100},
    {120, 160, 94, 43, 75, 65, 28, 5, 16.25f, 12.5f, 117, 19, 43, 1, 14, 11, 174, 150},
    {144, 192, 113, 51, 90, 78, 33, 6, 19.5f, 15.0f, 141, 23, 51, 2, 17, 14, 209, 150},
    {192, 256, 150, 68, 120, 104, 44, 8, 26.0f, 20.0f, 188, 30, 68, 2, 22, 18, 278, 200},
    // No usable answer: the designed layout.
    {0, 128, 75, 34, 60, 52, 22, 4, 13.0f, 10.0f, 94, 15, 34, 1, 11, 9, 139, 100},
};

TEST(IndicatorLayout, EveryLengthScalesWithTheDisplay) {
    for (const LayoutRow& row : kLayouts) {
        SCOPED_TRACE(row.dpi);
        const OsdLayout layout = LayoutForDpi(row.dpi);
        EXPECT_EQ(layout.width, row.width);
        EXPECT_EQ(layout.height, row.height);
        EXPECT_EQ(layout.glyphLeft, row.glyphLeft);
        EXPECT_EQ(layout.glyphSize, row.glyphSize);
        EXPECT_EQ(layout.captionTop, row.captionTop);
        EXPECT_EQ(layout.captionOverhang, row.captionOverhang);
        EXPECT_EQ(layout.captionInset, row.captionInset);
        EXPECT_FLOAT_EQ(layout.captionSize, row.captionSize);
        EXPECT_FLOAT_EQ(layout.captionFloor, row.captionFloor);
        EXPECT_EQ(layout.ButtonLeft(), row.buttonLeft);
        EXPECT_EQ(layout.buttonTop, row.buttonTop);
        EXPECT_EQ(layout.buttonSize, row.buttonSize);
        EXPECT_EQ(layout.dragThreshold, row.dragThreshold);
        EXPECT_EQ(layout.margins.left, row.leftMargin);
        EXPECT_EQ(layout.margins.top, row.topMargin);
        EXPECT_EQ(layout.margins.rightReserve, row.rightReserve);
        EXPECT_EQ(layout.artworkPercent, row.artwork);
        // The hit rectangles are the close button's column at the right edge
        // (from the top, as at 96 dpi) and the glyph square.
        EXPECT_FLOAT_EQ(layout.closeHit.x, static_cast<float>(row.buttonLeft));
        EXPECT_FLOAT_EQ(layout.closeHit.y, 0.0f);
        EXPECT_FLOAT_EQ(layout.closeHit.w, static_cast<float>(row.buttonSize));
        EXPECT_FLOAT_EQ(layout.closeHit.h, static_cast<float>(row.buttonSize));
        EXPECT_FLOAT_EQ(layout.glyphHit.x, static_cast<float>(row.glyphLeft));
        EXPECT_FLOAT_EQ(layout.glyphHit.w, static_cast<float>(row.glyphSize));
        EXPECT_FLOAT_EQ(layout.glyphHit.h, static_cast<float>(row.glyphSize));
    }
}

TEST(IndicatorLayout, TheArtworkIsTheNearestAtOrAboveTheScale) {
    const struct {
        int dpi;
        int percent;
    } rows[] = {{72, 100},  {96, 100},  {97, 150},  {120, 150}, {144, 150},
                {145, 200}, {168, 200}, {192, 200}, {288, 200}, {-1, 100}};
    for (const auto& row : rows) {
        EXPECT_EQ(ArtworkPercentForDpi(row.dpi), row.percent) << row.dpi;
    }
}

TEST(IndicatorLayout, PlacementKeepsTheScaledMargins) {
    FakeWindow window;
    FakeStore store;
    const OsdLayout layout = LayoutForDpi(144);
    WindowPlacement placement(window, store, kOsdWidth, kOsdHeight);
    placement.SetLayout(layout.width, layout.height, layout.margins);
    placement.ReadScreenSize();
    placement.PlaceWindow();  // nothing stored: centred, at the top margin
    placement.ClampAndMove(5, 3, false);
    placement.ClampAndMove(1900, 1070, false);
    placement.ClampAndMove(1711, 967, false);  // on the limits: no move
    placement.ClampAndMove(1712, 500, false);
    placement.ClampAndMove(16, 500, false);
    EXPECT_THAT(window.Take(),
                ElementsAre("Move 864 14 192 113", "Move 17 14 192 113", "Move 1711 967 192 113",
                            "Move 1711 500 192 113", "Move 17 500 192 113"));
}

class ScaledOsdWindow : public OsdWindow {
  protected:
    void SetUp() override { window_.dpi = 144; }
};

TEST_F(ScaledOsdWindow, ShowsAtTheMonitorsScaleWithScaledHitAreas) {
    core_.Update(OsdAction::Show, FALSE);
    EXPECT_THAT(window_.Take(), ElementsAre("Render caption", "Move 864 14 192 113", "Compose 255",
                                            "Show", "SetTimer 3 2000"));
    EXPECT_EQ(window_.layout.dpi, 144);
    EXPECT_EQ(window_.layout.artworkPercent, 150);
    Pointer(WM_MOUSEMOVE, 140, 89);  // the glyph's last pixel
    EXPECT_EQ(core_.Mouse().Hover(), kGlyphHit);
    Pointer(WM_MOUSEMOVE, 141, 0);  // the close button's first
    EXPECT_EQ(core_.Mouse().Hover(), kCloseButtonHit);
    Pointer(WM_MOUSEMOVE, 192, 113);  // the area's corner, in no rectangle
    EXPECT_EQ(core_.Mouse().Hover(), kNoHit);
    Pointer(WM_MOUSEMOVE, 160, 30);
    window_.Take();
    Pointer(WM_LBUTTONDOWN, 160, 30, true);
    Pointer(WM_LBUTTONUP, 160, 30);
    EXPECT_THAT(window_.Take(),
                ElementsAre("Render caption pressed", "Compose 255", "Render caption hover",
                            "Compose 255", "Post 1524 17185 0"));
}

TEST_F(ScaledOsdWindow, APressBecomesADragOnlyPastTheScaledThreshold) {
    ShowShown();  // at (864, 14)
    Pointer(WM_MOUSEMOVE, 80, 40);
    window_.pointer = {944, 54};
    Pointer(WM_LBUTTONDOWN, 80, 40, true);
    window_.Take();
    window_.pointer = {945, 55};  // one pixel: still a press
    core_.OnTimer(kDragTimer);
    Pointer(WM_MOUSEMOVE, 81, 41, true);
    EXPECT_THAT(window_.Take(), testing::IsEmpty());
    window_.pointer = {946, 54};  // two: a drag, the grabbed point follows
    core_.OnTimer(kDragTimer);
    EXPECT_THAT(window_.Take(),
                ElementsAre("Render caption normal", "Compose 178", "Move 866 14 192 113"));
}

TEST_F(OsdWindow, FollowsAMoveToAMonitorOfAnotherScale) {
    ShowShown();  // at 96 dpi, (896, 9)
    RECT suggested{1000, 20, 1192, 133};
    LRESULT result = -1;
    EXPECT_TRUE(core_.HandleMessage(WM_DPICHANGED, MAKEWPARAM(144, 144),
                                    reinterpret_cast<LPARAM>(&suggested), result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(window_.layout.dpi, 144);
    EXPECT_THAT(window_.Take(),
                ElementsAre("Free", "Render caption", "Compose 255", "Move 1000 20 192 113"));
    Pointer(WM_MOUSEMOVE, 150, 10);  // the close button at its new place
    EXPECT_EQ(core_.Mouse().Hover(), kCloseButtonHit);
    // Back at 96 dpi the designed layout returns.
    suggested = RECT{900, 20, 1028, 95};
    EXPECT_TRUE(core_.HandleMessage(WM_DPICHANGED, MAKEWPARAM(96, 96),
                                    reinterpret_cast<LPARAM>(&suggested), result));
    EXPECT_EQ(window_.layout.width, 128);
    Pointer(WM_MOUSEMOVE, 100, 10);
    EXPECT_EQ(core_.Mouse().Hover(), kCloseButtonHit);
    Pointer(WM_MOUSEMOVE, 93, 10);
    EXPECT_EQ(core_.Mouse().Hover(), kGlyphHit);
}

TEST_F(OsdWindow, AHiddenWindowTakesTheNewScaleAtItsNextShow) {
    RECT suggested{0, 0, 0, 0};
    LRESULT result = -1;
    EXPECT_TRUE(core_.HandleMessage(WM_DPICHANGED, MAKEWPARAM(192, 192),
                                    reinterpret_cast<LPARAM>(&suggested), result));
    EXPECT_THAT(window_.Take(), testing::IsEmpty());  // nothing drawn or moved
    window_.dpi = 120;                                // the monitor it shows on decides
    core_.Update(OsdAction::Show, FALSE);
    EXPECT_EQ(window_.layout.dpi, 120);
    EXPECT_THAT(window_.Take(), ElementsAre("Render caption", "Move 880 11 160 94", "Compose 255",
                                            "Show", "SetTimer 3 2000"));
}

std::vector<std::uint32_t> Filled(int count, std::uint32_t pixel) {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(count), pixel);
}

TEST(ImageShrink, AnEvenAreaKeepsItsValueAndEdgesBlendByCoverage) {
    // White at alpha 3, premultiplied: 120 x 120 to 75 x 75 changes no pixel.
    const std::vector<std::uint32_t> faint = Filled(120 * 120, 0x03030303);
    std::vector<std::uint32_t> out = Filled(75 * 75, 0);
    ASSERT_TRUE(ShrinkImage(faint, 120, 120, out, 75, 75));
    EXPECT_EQ(out, Filled(75 * 75, 0x03030303));

    // Halving: the mean of each 2 x 2 block.
    const std::vector<std::uint32_t> quad = {0xFF000000, 0x00000000, 0x01020304, 0x0000FF00,
                                             0xFF000000, 0x00000000, 0x01020304, 0x0000FF00};
    std::vector<std::uint32_t> half = Filled(2, 0);
    ASSERT_TRUE(ShrinkImage(quad, 4, 2, half, 2, 1));
    EXPECT_EQ(half[0], 0x80000000u);  // 255 / 2, rounded up
    EXPECT_EQ(half[1], 0x01018102u);

    // Three pixels into two: the middle one counts half for each.
    const std::vector<std::uint32_t> row = {0x00000000, 0x000000FF, 0x000000FF};
    std::vector<std::uint32_t> two = Filled(2, 0);
    ASSERT_TRUE(ShrinkImage(row, 3, 1, two, 2, 1));
    EXPECT_EQ(two[0], 0x00000055u);  // (0 + 0.5 x 255) / 1.5 = 85
    EXPECT_EQ(two[1], 0x000000FFu);
}

TEST(ImageShrink, RefusesWhatItCannotDo) {
    const std::vector<std::uint32_t> four = Filled(4, 0x11111111);
    std::vector<std::uint32_t> out = Filled(9, 0x22222222);
    EXPECT_FALSE(ShrinkImage(four, 2, 2, out, 3, 3));  // larger
    EXPECT_FALSE(ShrinkImage(four, 2, 2, out, 0, 1));  // empty
    EXPECT_FALSE(ShrinkImage(four, 3, 3, out, 1, 1));  // source too small
    EXPECT_FALSE(ShrinkImage(four, 2, 2, std::span<std::uint32_t>(out.data(), 0), 1, 1));
    EXPECT_EQ(out, Filled(9, 0x22222222));
}

}  // namespace
}  // namespace lensbeacon::indicator
