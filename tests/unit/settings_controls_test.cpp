// The settings controls' cores: the dialog's fades, the mouse tracker's hit
// tests, the shadow's geometry and following, and the close button's looks.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/button_looks.h"
#include "controls/fade_effect.h"
#include "controls/mouse_event_ctrl.h"
#include "controls/shadow_geometry.h"
#include "drawing/scale.h"

namespace lensbeacon::settings {
namespace {

HWND FakeWindow() {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
}

class FakeFadeApi : public FadeWindowPort {
  public:
    BOOL IsWindowEnabled(HWND) override { return enabled; }
    void EnableWindow(HWND, BOOL enable) override { enabled = enable; }
    LONG GetExStyle(HWND) override { return exStyle; }
    void SetExStyle(HWND, LONG value) override { exStyle = value; }
    UINT_PTR SetTimer(HWND, UINT_PTR id, UINT period) override {
        timers.push_back(id);
        periods.push_back(period);
        return timerWorks ? id : 0;
    }
    void KillTimer(HWND, UINT_PTR id) override { killed.push_back(id); }
    void SetLayeredAlpha(HWND, BYTE alpha) override { alphas.push_back(alpha); }
    void PostMessage(HWND, UINT message) override { posted.push_back(message); }

    BOOL enabled = TRUE;
    LONG exStyle = WS_EX_APPWINDOW;
    bool timerWorks = true;
    std::vector<UINT_PTR> timers, killed;
    std::vector<UINT> periods, posted;
    std::vector<int> alphas;
};

class FakeFollower : public FadeFollowerPort {
  public:
    void SetAlpha(BYTE alpha, HWND) override { alphas.push_back(alpha); }
    std::vector<int> alphas;
};

TEST(FadeEffect, FadeInShowsFourAlphasThenTurnsOpaqueAndEnabled) {
    FakeFadeApi api;
    FakeFollower shadow;
    CFadeDialogEffect fade(api);
    fade.FadeIn(FakeWindow(), &shadow);
    EXPECT_FALSE(api.enabled);
    EXPECT_EQ(api.exStyle, WS_EX_APPWINDOW | WS_EX_LAYERED);
    ASSERT_EQ(api.timers, std::vector<UINT_PTR>{67});
    EXPECT_EQ(api.periods, std::vector<UINT>{30});
    for (int tick = 0; tick < 3; ++tick) {
        fade.FadeInStep();
        EXPECT_FALSE(api.enabled);
    }
    EXPECT_EQ(api.alphas, (std::vector<int>{51, 102, 153, 204}));
    EXPECT_TRUE(api.killed.empty());
    fade.FadeInStep();
    EXPECT_EQ(api.killed, std::vector<UINT_PTR>{67});
    EXPECT_TRUE(api.enabled);
    EXPECT_EQ(api.exStyle, WS_EX_APPWINDOW);
    EXPECT_TRUE(api.posted.empty());
    // The shadow follows every step and keeps 204 at the end.
    EXPECT_EQ(shadow.alphas, (std::vector<int>{51, 102, 153, 204}));
    // A late tick after the end changes nothing.
    fade.FadeInStep();
    EXPECT_EQ(api.alphas.size(), 4u);
    EXPECT_EQ(api.killed.size(), 1u);
}

TEST(FadeEffect, FadeOutShowsFourAlphasThenPostsTheEndOnce) {
    FakeFadeApi api;
    CFadeDialogEffect fade(api);
    EXPECT_TRUE(fade.FadeOut(FakeWindow(), static_cast<FadeFollowerPort*>(nullptr)));
    EXPECT_FALSE(api.enabled);
    EXPECT_EQ(api.timers, std::vector<UINT_PTR>{66});
    for (int tick = 0; tick < 3; ++tick) {
        fade.FadeOutStep();
    }
    EXPECT_EQ(api.alphas, (std::vector<int>{204, 153, 102, 51}));
    EXPECT_TRUE(api.posted.empty());
    fade.FadeOutStep();
    EXPECT_EQ(api.killed, std::vector<UINT_PTR>{66});
    EXPECT_EQ(api.posted, std::vector<UINT>{WM_USER + 402});
    EXPECT_FALSE(api.enabled);  // stays disabled until the dialog ends
    EXPECT_EQ(api.exStyle & WS_EX_LAYERED, WS_EX_LAYERED);
    fade.FadeOutStep();
    EXPECT_EQ(api.posted.size(), 1u);
}

TEST(FadeEffect, NoFadeStartsWhileTheWindowIsDisabled) {
    FakeFadeApi api;
    CFadeDialogEffect fade(api);
    fade.FadeIn(FakeWindow(), static_cast<FadeFollowerPort*>(nullptr));
    EXPECT_FALSE(fade.FadeOut(FakeWindow(), static_cast<FadeFollowerPort*>(nullptr)));
    fade.FadeIn(FakeWindow(), static_cast<FadeFollowerPort*>(nullptr));
    EXPECT_EQ(api.timers.size(), 1u);
    EXPECT_EQ(api.alphas, std::vector<int>{51});
    // The fade-out's timer id does not drive the running fade-in.
    fade.FadeOutStep();
    EXPECT_EQ(api.alphas.size(), 1u);
    EXPECT_TRUE(fade.FadingIn());
}

TEST(FadeEffect, WithoutATimerTheFadesFinishAtOnce) {
    FakeFadeApi api;
    api.timerWorks = false;
    FakeFollower shadow;
    CFadeDialogEffect fade(api);
    fade.FadeIn(FakeWindow(), &shadow);
    EXPECT_TRUE(api.enabled);
    EXPECT_EQ(api.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(shadow.alphas.back(), 204);
    EXPECT_FALSE(fade.FadeOut(FakeWindow(), static_cast<FadeFollowerPort*>(nullptr)));
    EXPECT_EQ(api.posted, std::vector<UINT>{WM_USER + 402});
}

class FakeTracking : public MouseTrackingPort {
  public:
    BOOL TrackLeave(HWND window) override {
        ++calls;
        lastWindow = window;
        return answer;
    }
    // Region n holds the points with x in [10 n, 10 n + 10).
    BOOL PointInRegion(HRGN region, int x, int) override {
        const auto n = static_cast<int>(reinterpret_cast<INT_PTR>(region));
        return x >= 10 * n && x < 10 * n + 10;
    }
    int calls = 0;
    HWND lastWindow = nullptr;
    BOOL answer = TRUE;
};

LPARAM Packed(int x, int y) {
    const auto low = static_cast<std::uint32_t>(static_cast<std::uint16_t>(x));
    const auto high = static_cast<std::uint32_t>(static_cast<std::uint16_t>(y));
    return static_cast<LPARAM>(static_cast<INT_PTR>(high << 16 | low));
}

HRGN Region(int n) {
    return reinterpret_cast<HRGN>(static_cast<INT_PTR>(n));
}

TEST(MouseEventCtrl, HitTestsInAreaAndPriorityOrder) {
    FakeTracking api;
    CMouseEventCtrl tracker(api);
    tracker.SetArea(100, 50);
    const RECT rects[] = {{0, 0, 100, 50}, {0, 0, 40, 20}};
    tracker.SetRectangles(rects);
    EXPECT_EQ(tracker.HitTest(10, 10), 0);  // overlap: the earlier one wins
    EXPECT_EQ(tracker.HitTest(99, 49), 0);
    // The area's right and bottom edges pass, but no rectangle holds them.
    EXPECT_EQ(tracker.HitTest(100, 10), -1);
    EXPECT_EQ(tracker.HitTest(10, 50), -1);
    EXPECT_EQ(tracker.HitTest(-1, 10), -1);
    EXPECT_EQ(tracker.HitTest(101, 10), -1);
    EXPECT_EQ(tracker.GetRect(1).right, 40);
    const RECT empty = tracker.GetRect(2);
    EXPECT_EQ(empty.left | empty.top | empty.right | empty.bottom, 0);
    EXPECT_EQ(tracker.GetRect(-1).right, 0);
}

TEST(MouseEventCtrl, SubRegionsAreTestedRelativeToTheirRectangle) {
    FakeTracking api;
    CMouseEventCtrl tracker(api);
    tracker.SetArea(200, 50);
    const RECT rects[] = {{0, 0, 50, 50}, {50, 0, 200, 50}};
    tracker.SetRectangles(rects);
    const HRGN regions[] = {Region(0), Region(1)};
    tracker.SetSubRegions(1, regions);
    EXPECT_EQ(tracker.HitTest(55, 5), 1);
    EXPECT_EQ(tracker.HoverSubRegion(), 0);
    EXPECT_EQ(tracker.HitTest(65, 5), 1);
    EXPECT_EQ(tracker.HoverSubRegion(), 1);
    EXPECT_EQ(tracker.HitTest(90, 5), 1);
    EXPECT_EQ(tracker.HoverSubRegion(), -1);
    // Rectangle 0 has no sub-regions, though the same x would match one.
    EXPECT_EQ(tracker.HitTest(5, 5), 0);
    EXPECT_EQ(tracker.HoverSubRegion(), -1);
}

TEST(MouseEventCtrl, MouseMovesReportHoverChangesAndArmTheLeaveOnce) {
    FakeTracking api;
    CMouseEventCtrl tracker(api);
    tracker.SetWindow(FakeWindow());
    tracker.SetArea(200, 50);
    const RECT rects[] = {{0, 0, 50, 50}, {50, 0, 200, 50}};
    tracker.SetRectangles(rects);
    const HRGN regions[] = {Region(0), Region(1)};
    tracker.SetSubRegions(1, regions);
    int previous = 7;
    int current = 7;
    EXPECT_TRUE(tracker.OnMouseMove(Packed(10, 10), &previous, &current));
    EXPECT_EQ(previous, -1);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(api.calls, 1);
    EXPECT_EQ(api.lastWindow, FakeWindow());
    EXPECT_TRUE(tracker.OnMouseMove(Packed(55, 10), &previous, &current));
    EXPECT_EQ(previous, 0);
    EXPECT_EQ(current, 1);
    // From one sub-region to the next: no change of the hover index.
    previous = 7;
    EXPECT_FALSE(tracker.OnMouseMove(Packed(65, 10), &previous, &current));
    EXPECT_EQ(previous, 7);
    EXPECT_EQ(tracker.HoverSubRegion(), 1);
    // Negative coordinates (the cursor captured left of the window).
    EXPECT_TRUE(tracker.OnMouseMove(Packed(-3, 10), &previous, &current));
    EXPECT_EQ(current, -1);
    EXPECT_EQ(api.calls, 1);
    tracker.OnMouseLeave();
    EXPECT_FALSE(tracker.Tracking());
    tracker.OnMouseMove(Packed(10, 10), &previous, &current);
    EXPECT_EQ(api.calls, 2);
}

TEST(MouseEventCtrl, ALeaveRequestTheSystemRefusedIsAskedAgain) {
    FakeTracking api;
    api.answer = FALSE;
    CMouseEventCtrl tracker(api);
    int previous = 0;
    int current = 0;
    tracker.OnMouseMove(Packed(1, 1), &previous, &current);
    tracker.OnMouseMove(Packed(2, 1), &previous, &current);
    EXPECT_EQ(api.calls, 2);
    EXPECT_FALSE(tracker.Tracking());
}

struct StripBox {
    LONG x, y;
    int width, height;
};

// The four strips around a dialog at (100, 200) of the scaled background.
std::vector<StripBox> StripsAt(float scale) {
    const int dialogWidth = ScaleValue(377, scale);
    const int dialogHeight = ScaleValue(182, scale);
    const int sideWidth = ScaleValue(9, scale);
    const int sideHeight = ScaleValue(182, scale);
    const int bandWidth = ScaleValue(395, scale);
    const int bandHeight = ScaleValue(9, scale);
    const RECT dialog{100, 200, 100 + dialogWidth, 200 + dialogHeight};
    const int widths[] = {sideWidth, sideWidth, bandWidth, bandWidth};
    const int heights[] = {sideHeight, sideHeight, bandHeight, bandHeight};
    std::vector<StripBox> boxes;
    for (int i = 0; i < kShadowStripCount; ++i) {
        const std::optional<POINT> at =
            StripPositionFrom(dialog, StripPlacementFor(i, sideWidth, bandHeight));
        EXPECT_TRUE(at.has_value());
        boxes.push_back({at.value_or(POINT{}).x, at.value_or(POINT{}).y, widths[i], heights[i]});
    }
    return boxes;
}

TEST(ShadowGeometry, StripsFrameTheDialogAtScaleOne) {
    const auto boxes = StripsAt(1.0f);
    EXPECT_EQ(boxes[kStripLeft].x, 91);
    EXPECT_EQ(boxes[kStripLeft].y, 200);
    EXPECT_EQ(boxes[kStripRight].x, 477);
    EXPECT_EQ(boxes[kStripRight].y, 200);
    EXPECT_EQ(boxes[kStripTop].x, 91);
    EXPECT_EQ(boxes[kStripTop].y, 191);
    EXPECT_EQ(boxes[kStripBottom].x, 91);
    EXPECT_EQ(boxes[kStripBottom].y, 382);
    // The bands span both sides and the dialog exactly.
    EXPECT_EQ(boxes[kStripTop].x + boxes[kStripTop].width,
              boxes[kStripRight].x + boxes[kStripRight].width);
}

TEST(ShadowGeometry, StripsFrameTheDialogAtScaleOneAndAQuarter) {
    const auto boxes = StripsAt(1.25f);
    EXPECT_EQ(boxes[kStripLeft].width, 11);
    EXPECT_EQ(boxes[kStripLeft].height, 228);
    EXPECT_EQ(boxes[kStripLeft].x, 89);
    EXPECT_EQ(boxes[kStripRight].x, 571);
    EXPECT_EQ(boxes[kStripTop].y, 189);
    EXPECT_EQ(boxes[kStripBottom].y, 428);
    // 494 wide bands over 11 + 471 + 11: one pixel beyond the right strip.
    EXPECT_EQ(boxes[kStripTop].width, 494);
    EXPECT_EQ(boxes[kStripTop].x + boxes[kStripTop].width,
              boxes[kStripRight].x + boxes[kStripRight].width + 1);
}

TEST(ShadowGeometry, AnchorsAndStatus) {
    const RECT owner{10, 20, 30, 40};
    const std::optional<POINT> at = StripPositionFrom(owner, {1, 2, kAnchorBottomRight});
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(at->x, 31);
    EXPECT_EQ(at->y, 42);
    EXPECT_FALSE(StripPositionFrom(owner, {0, 0, 4}).has_value());
    EXPECT_EQ(ShadowStatusFromStyle(static_cast<LONG>(WS_POPUP)), 1);
    EXPECT_EQ(ShadowStatusFromStyle(static_cast<LONG>(WS_POPUP | WS_VISIBLE | WS_MINIMIZE)), 5);
    EXPECT_EQ(ShadowStatusFromStyle(static_cast<LONG>(WS_POPUP | WS_VISIBLE)), 7);
}

class FakeStrips : public ShadowStripPort {
  public:
    void ShowStrips() override { log += "show "; }
    void HideStrips() override { log += "hide "; }
    void UpdateStrips() override { log += "update "; }
    void MoveStrips() override { log += "move "; }
    void DestroyStrips() override { log += "destroy "; }
    std::string Take() { return std::exchange(log, std::string()); }
    std::string log;
};

LPARAM Size(int width, int height) {
    return Packed(width, height);
}

TEST(ShadowFollower, ShowingGrowingShrinkingAndMinimising) {
    FakeStrips strips;
    ShadowFollower follower;
    follower.SetStatus(kShadowEnabled);  // made while the dialog is hidden
    follower.OnOwnerMessage(WM_MOVE, 0, 0, strips);
    follower.OnOwnerMessage(WM_SIZE, SIZE_RESTORED, Size(377, 182), strips);
    EXPECT_EQ(strips.Take(), "");
    follower.OnOwnerMessage(WM_SHOWWINDOW, TRUE, 0, strips);
    EXPECT_EQ(strips.Take(), "show ");
    EXPECT_EQ(follower.Status(), 7);
    follower.OnOwnerMessage(WM_PAINT, 0, 0, strips);
    follower.OnOwnerMessage(WM_PAINT, 0, 0, strips);
    EXPECT_EQ(strips.Take(), "update ");
    // A second show while marked visible changes nothing.
    follower.OnOwnerMessage(WM_SHOWWINDOW, TRUE, 0, strips);
    EXPECT_EQ(strips.Take(), "");
    follower.OnOwnerMessage(WM_MOVE, 0, 0, strips);
    EXPECT_EQ(strips.Take(), "move ");
    // Growing waits for the paint; shrinking redraws at once.
    follower.OnOwnerMessage(WM_SIZE, SIZE_RESTORED, Size(400, 182), strips);
    EXPECT_EQ(strips.Take(), "");
    EXPECT_TRUE(follower.UpdatePending());
    follower.OnOwnerMessage(WM_PAINT, 0, 0, strips);
    EXPECT_EQ(strips.Take(), "update ");
    follower.OnOwnerMessage(WM_SIZE, SIZE_RESTORED, Size(300, 100), strips);
    EXPECT_EQ(strips.Take(), "update ");
    follower.OnOwnerMessage(WM_SIZE, SIZE_MINIMIZED, Size(0, 0), strips);
    EXPECT_EQ(strips.Take(), "hide ");
    follower.OnOwnerMessage(WM_MOVE, 0, 0, strips);
    follower.OnOwnerMessage(WM_EXITSIZEMOVE, 0, 0, strips);
    EXPECT_EQ(strips.Take(), "");
    follower.OnOwnerMessage(WM_SIZE, SIZE_RESTORED, Size(300, 100), strips);
    // Restoring grows from the minimised size: shown now, drawn at the paint.
    EXPECT_EQ(strips.Take(), "show ");
    EXPECT_TRUE(follower.UpdatePending());
    EXPECT_EQ(follower.LastSize(), static_cast<DWORD>(Size(300, 100)));
    follower.OnOwnerMessage(WM_SHOWWINDOW, FALSE, 0, strips);
    EXPECT_EQ(strips.Take(), "hide ");
    EXPECT_EQ(follower.Status(), kShadowEnabled);
    follower.OnOwnerMessage(WM_DESTROY, 0, 0, strips);
    EXPECT_EQ(strips.Take(), "destroy ");
}

class FakeSurface : public ButtonLookPort {
  public:
    bool IsVisible() override { return visible; }
    bool StartAnimationTimer() override {
        log += "start ";
        return timerWorks;
    }
    void StopAnimationTimer() override { log += "stop "; }
    bool TrackMouse() override {
        log += "track ";
        return true;
    }
    bool SnapshotScreen() override {
        log += "snap ";
        return canSnapshot;
    }
    void ShowLook(int look) override { log += "look" + std::to_string(look) + " "; }
    void BlendLook(int look, int alpha) override {
        log += "blend" + std::to_string(look) + "@" + std::to_string(alpha) + " ";
    }
    void Invalidate() override { log += "inv "; }
    std::string Take() { return std::exchange(log, std::string()); }

    bool visible = true;
    bool timerWorks = true;
    bool canSnapshot = true;
    std::string log;
};

TEST(ButtonLooks, ACrossFadeShowsFourBlendsThenThePureLook) {
    FakeSurface surface;
    ButtonLooks looks(surface);
    looks.SetBuilt(true);
    looks.OnMouseHover();
    EXPECT_EQ(surface.Take(), "snap blend1@51 start inv ");
    EXPECT_TRUE(looks.Fading());
    for (int tick = 0; tick < 3; ++tick) {
        looks.OnFadeTimer();
    }
    EXPECT_EQ(surface.Take(), "blend1@102 inv blend1@153 inv blend1@204 inv ");
    looks.OnFadeTimer();
    EXPECT_EQ(surface.Take(), "stop look1 inv ");
    EXPECT_FALSE(looks.Fading());
}

TEST(ButtonLooks, ChangeDuringAFadeRestartsFromAFreshSnapshot) {
    FakeSurface surface;
    ButtonLooks looks(surface);
    looks.SetBuilt(true);
    looks.OnMouseHover();
    looks.OnFadeTimer();
    surface.Take();
    looks.OnLButtonDown();
    EXPECT_EQ(looks.Look(), kLookPressed);
    EXPECT_EQ(surface.Take(), "stop snap blend2@51 start inv ");
    EXPECT_EQ(looks.Step(), 2);
}

TEST(ButtonLooks, HiddenOrNotAnimatedChangesAtOnce) {
    FakeSurface surface;
    ButtonLooks looks(surface);
    looks.SetBuilt(true);
    surface.visible = false;
    looks.OnMouseHover();
    EXPECT_EQ(surface.Take(), "look1 inv ");
    surface.visible = true;
    looks.SetAnimate(false);
    looks.OnLButtonDown();
    EXPECT_EQ(surface.Take(), "look2 inv ");
    // A running fade's next tick ends it when animation was switched off.
    looks.SetAnimate(true);
    looks.OnLButtonUp();
    surface.Take();
    looks.SetAnimate(false);
    looks.OnFadeTimer();
    EXPECT_EQ(surface.Take(), "stop look1 inv ");
}

TEST(ButtonLooks, PressedShowsOnlyWithTheCursorInside) {
    FakeSurface surface;
    ButtonLooks looks(surface);
    looks.SetBuilt(true);
    looks.SetAnimate(false);
    looks.OnMouseMove(false, true);
    EXPECT_EQ(looks.Look(), kLookHover);
    looks.OnLButtonDown();
    EXPECT_EQ(looks.Look(), kLookPressed);
    looks.OnMouseLeave();
    looks.OnMouseMove(true, false);
    EXPECT_EQ(looks.Look(), kLookNormal);
    looks.OnMouseMove(true, true);
    EXPECT_EQ(looks.Look(), kLookPressed);
    EXPECT_EQ(LookFor(false, true), kLookNormal);
}

TEST(ButtonLooks, TheFirstMoveReadsTheButtonFromTheKeyFlags) {
    FakeSurface surface;
    ButtonLooks looks(surface);
    looks.SetBuilt(true);
    looks.SetAnimate(false);
    looks.OnMouseHover();
    surface.Take();
    // Released elsewhere: the first tracked move, still inside, sees it down.
    looks.OnMouseMove(true, true);
    EXPECT_EQ(surface.Take(), "track look2 inv ");
    // Tracking armed: key flags are not read again.
    looks.OnMouseMove(false, true);
    EXPECT_EQ(surface.Take(), "");
    EXPECT_TRUE(looks.Pressed());
}

TEST(ButtonLooks, WithoutPicturesOrTimerNothingIsLeftHalfFaded) {
    FakeSurface surface;
    ButtonLooks looks(surface);
    looks.OnMouseHover();
    EXPECT_EQ(surface.Take(), "");  // not built: only the look is noted
    EXPECT_EQ(looks.Look(), kLookHover);
    looks.SetBuilt(true);
    surface.canSnapshot = false;
    looks.OnLButtonDown();
    EXPECT_EQ(surface.Take(), "snap ");
    surface.canSnapshot = true;
    surface.timerWorks = false;
    looks.OnLButtonUp();
    EXPECT_EQ(surface.Take(), "snap blend1@51 start look1 inv ");
    EXPECT_FALSE(looks.Fading());
}

}  // namespace
}  // namespace lensbeacon::settings
