// The indicator window's behaviour with a fake window and position store: the
// show/fade/redraw table and its tail, the logon-desktop wait, the hit tests,
// the close button, placement and clamping on a 1920 x 1080 screen,
// publishing, display changes and the refusal to close.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "indicator_window_fakes.h"
#include "osd_window_core.h"

namespace lensbeacon::indicator {
namespace {

using test::FakeHandle;
using test::FakeStore;
using test::FakeWindow;
using test::OsdWindow;
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;

TEST_F(OsdWindow, ShowComposesPlacesAndShowsOnceAndRepeatedRequestsChangeNothing) {
    core_.Update(OsdAction::Show, FALSE);
    EXPECT_THAT(window_.Take(), ElementsAre("Render caption", "Move 896 9 128 75", "Compose 255",
                                            "Show", "SetTimer 3 2000"));
    core_.Update(OsdAction::Show, FALSE);  // the caption timer is not restarted
    core_.Update(OsdAction::Redraw, FALSE);
    EXPECT_THAT(window_.Take(), ElementsAre("Render caption", "Compose 255"));
    core_.OnTimer(kCaptionTimer);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 3", "Render", "Compose 255"));
}

TEST_F(OsdWindow, FadeComposesThreeStepsHidesOnTheFourthAndRearmsTheCaption) {
    core_.Update(OsdAction::Hide, FALSE);  // hidden: nothing
    EXPECT_THAT(window_.Take(), IsEmpty());
    ShowShown();
    state_.captionShown = FALSE;
    core_.Update(OsdAction::Hide, FALSE);
    core_.Update(OsdAction::Hide, FALSE);  // already fading: nothing more
    EXPECT_THAT(window_.Take(), ElementsAre("SetTimer 2 41"));
    for (int i = 0; i < 4; ++i) {
        core_.OnTimer(kFadeTimer);
    }
    EXPECT_THAT(window_.Take(), ElementsAre("Compose 180", "Compose 105", "Compose 30", "Hide",
                                            "KillTimer 3", "KillTimer 2"));
    EXPECT_EQ(core_.State(), ShowState::Hidden);
    EXPECT_TRUE(state_.captionShown);
}

TEST_F(OsdWindow, ShowDuringTheFadeReturnsToFullOpacityWithoutRendering) {
    ShowShown();
    core_.Update(OsdAction::Hide, FALSE);
    core_.OnTimer(kFadeTimer);
    window_.Take();
    state_.moveInProgress = TRUE;  // and a window being dragged is drawn at 7/10
    core_.Update(OsdAction::Show, FALSE);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 2", "Compose 178"));
    EXPECT_EQ(core_.State(), ShowState::Shown);
}

TEST_F(OsdWindow, MissingGlyphImageNeverShows) {
    window_.imagesLoad = false;
    core_.Update(OsdAction::Show, FALSE);
    EXPECT_THAT(window_.Take(), IsEmpty());
    EXPECT_EQ(core_.State(), ShowState::Hidden);
}

TEST_F(OsdWindow, LogonDesktopShowWaitsForTheLogonScreenOrTwoSeconds) {
    state_.ordinaryDesktop = FALSE;
    core_.Update(OsdAction::Show, FALSE);
    EXPECT_FALSE(window_.visible);
    EXPECT_EQ(window_.Take().back(), "SetTimer 1 50");
    window_.tick += 1500;
    core_.Update(OsdAction::Show, FALSE);  // a second show neither restarts nor extends the wait
    EXPECT_THAT(window_.Take(), IsEmpty());
    window_.tick += 500;
    core_.OnTimer(kLogonWaitTimer);
    EXPECT_THAT(window_.Take(), IsEmpty());
    window_.tick += 1;
    core_.OnTimer(kLogonWaitTimer);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 1", "Show", "SetTimer 3 2000"));

    // Ready before the limit: shown at the next tick.
    OsdWindowCore other(window_, state_, store_);
    window_.visible = false;
    other.Update(OsdAction::Show, FALSE);
    window_.logonReady = true;
    window_.Take();
    other.OnTimer(kLogonWaitTimer);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 1", "Show", "SetTimer 3 2000"));
}

TEST_F(OsdWindow, HideDuringTheLogonWaitKeepsThePendingTickFromShowing) {
    state_.ordinaryDesktop = FALSE;
    core_.Update(OsdAction::Show, FALSE);
    core_.Update(OsdAction::Hide, FALSE);
    window_.logonReady = true;
    window_.Take();
    core_.OnTimer(kLogonWaitTimer);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 1"));
}

TEST(MouseEventCtrl2, HitTestsRectanglesAndAreaEdges) {
    FakeWindow window;
    IndicatorState state;
    FakeStore store;
    OsdWindowCore core(window, state, store);
    const CMouseEventCtrl2& mouse = core.Mouse();
    EXPECT_EQ(mouse.HitTest(94, 0), 0);
    EXPECT_EQ(mouse.HitTest(127, 33), 0);
    EXPECT_EQ(mouse.HitTest(93, 59), 1);
    EXPECT_EQ(mouse.HitTest(34, 0), 1);
    EXPECT_EQ(mouse.HitTest(33, 10), -1);
    EXPECT_EQ(mouse.HitTest(60, 60), -1);   // the caption band
    EXPECT_EQ(mouse.HitTest(128, 10), -1);  // on the right edge: in the area, in no rectangle
    EXPECT_EQ(mouse.HitTest(100, 75), -1);
    EXPECT_EQ(mouse.HitTest(-1, 10), -1);
    EXPECT_EQ(mouse.HitTest(50, -1), -1);

    CMouseEventCtrl2 fresh(window, 128, 75);
    EXPECT_EQ(fresh.HitTest(50, 10), -1);  // no rectangles yet
    const HitRect rect = {0, 0, 10, 10};
    EXPECT_TRUE(fresh.SetHitRects(&rect, 1));
    EXPECT_FALSE(fresh.SetHitRects(&rect, 1));
}

TEST_F(OsdWindow, CloseButtonClickHidesButAReleaseElsewhereDoesNot) {
    ShowShown();
    Pointer(WM_MOUSEMOVE, 50, 10);  // the glyph brings the close button
    EXPECT_THAT(window_.Take(),
                ElementsAre("SetTimer 20 100", "Render caption normal", "Compose 255"));
    Pointer(WM_MOUSEMOVE, 100, 10);
    Pointer(WM_LBUTTONDOWN, 100, 10, true);
    EXPECT_THAT(window_.Take(), ElementsAre("Render caption hover", "Compose 255",
                                            "Render caption pressed", "Compose 255"));
    Pointer(WM_MOUSEMOVE, 50, 10, true);  // leaving while held: still drawn pressed
    EXPECT_EQ(window_.Take().front(), "Render caption pressed");
    Pointer(WM_LBUTTONUP, 50, 10);  // it became a drag, which ends: no hide
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 4", "Render caption normal", "Compose 255"));

    Pointer(WM_MOUSEMOVE, 100, 10);
    Pointer(WM_LBUTTONDOWN, 100, 10, true);
    window_.Take();
    Pointer(WM_LBUTTONUP, 100, 10);
    EXPECT_THAT(window_.Take(),
                ElementsAre("Render caption hover", "Compose 255", "Post 1524 17185 0"));
}

// A leave reported between the press and the release (another window of the
// program under the pointer for a moment) does not lose the click: the
// messages' own points decide.
TEST_F(OsdWindow, CloseButtonClickCountsByThePointsOfThePressAndTheRelease) {
    ShowShown();
    Pointer(WM_MOUSEMOVE, 50, 10);
    Pointer(WM_MOUSEMOVE, 100, 10);
    Pointer(WM_LBUTTONDOWN, 100, 10, true);
    Send(WM_MOUSELEAVE);
    window_.Take();
    Pointer(WM_LBUTTONUP, 100, 10);
    EXPECT_THAT(window_.Take(), Contains("Post 1524 17185 0"));

    // A press heard on the glyph's hover state but made on the close button.
    ShowShown();
    Pointer(WM_MOUSEMOVE, 50, 10);
    Pointer(WM_LBUTTONDOWN, 100, 10, true);
    Pointer(WM_LBUTTONUP, 100, 10);
    EXPECT_THAT(window_.Take(), Contains("Post 1524 17185 0"));
}

TEST_F(OsdWindow, LeftButtonHeldWhileEnteringTheCloseButtonDrawsItPressed) {
    ShowShown();
    state_.closeButtonShown = TRUE;
    Pointer(WM_MOUSEMOVE, 100, 10, true);
    EXPECT_THAT(window_.Take(),
                ElementsAre("SetTimer 20 100", "Render caption pressed", "Compose 255"));
}

TEST_F(OsdWindow, CloseButtonGoesAfterThePointerLeftOrWasFoundGone) {
    ShowShown();
    state_.closeButtonShown = TRUE;
    Pointer(WM_MOUSEMOVE, 100, 10);
    Pointer(WM_MOUSEMOVE, 50, 10);
    window_.Take();
    Send(WM_MOUSELEAVE);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 20", "SetTimer 21 2000"));
    core_.OnTimer(kCloseButtonTimer);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 21", "Render caption", "Compose 255"));

    Pointer(WM_MOUSEMOVE, 100, 10);  // straight onto the close button, then gone unseen
    core_.OnTimer(kPointerCheckTimer);
    window_.cursorOver = false;
    window_.Take();
    core_.OnTimer(kPointerCheckTimer);
    EXPECT_THAT(window_.Take(),
                ElementsAre("KillTimer 20", "SetTimer 21 2000", "Render caption", "Compose 255"));
    EXPECT_EQ(core_.Mouse().Hover(), kNoHit);
}

TEST_F(OsdWindow, PlacementUsesTheStoredPositionOnlyForThisScreenSizeAndClamps) {
    struct Case {
        StoredPosition stored;
        const char* move;
    };
    const Case cases[] = {
        {{-1, -1, -1, -1}, "Move 896 9 128 75"},
        {{5, 3, 1920, 1080}, "Move 11 9 128 75"},
        {{1900, 500, 1920, 1080}, "Move 1781 500 128 75"},
        {{500, 1070, 1920, 1080}, "Move 500 1005 128 75"},
        {{300, 200, 1920, 1080}, "Move 300 200 128 75"},
        {{300, 200, 1280, 1024}, "Move 896 9 128 75"},
    };
    for (const Case& c : cases) {
        OsdWindowCore core(window_, state_, store_);
        store_.stored = c.stored;
        core.Update(OsdAction::Show, FALSE);
        EXPECT_EQ(window_.Take().at(1), c.move) << c.stored.x << "," << c.stored.y;
        window_.visible = false;
    }
}

TEST_F(OsdWindow, VisiblePositionsArePublishedAndDisplayChangesPlaceOnlyAVisibleWindow) {
    WINDOWPOS pos = {};
    pos.x = 640;
    pos.y = 30;
    Send(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));  // hidden: not published
    ShowShown();
    Send(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    pos.flags = SWP_NOMOVE | SWP_SHOWWINDOW;  // no position in it: the window's own
    Send(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    ASSERT_EQ(store_.published.size(), 2u);
    EXPECT_EQ(store_.published[0].x, 640);
    EXPECT_EQ(store_.published[0].screenWidth, 1920);
    EXPECT_EQ(store_.published[1].x, 896);
    EXPECT_EQ(store_.published[1].y, 9);

    store_.stored = {300, 200, 1920, 1080};
    Send(WM_DISPLAYCHANGE, 32, (720 << 16) | 1280);
    EXPECT_THAT(window_.Take(), ElementsAre("Move 576 9 128 75"));
    window_.visible = false;
    Send(WM_DISPLAYCHANGE, 32, (1080 << 16) | 1920);
    EXPECT_THAT(window_.Take(), IsEmpty());
    EXPECT_EQ(core_.Placement().Screen().width, 1920);
}

TEST_F(OsdWindow, RefusesToCloseUntilDestroyingAndIgnoresUnknownAndStaleShowHideValues) {
    LRESULT result = -1;
    EXPECT_TRUE(core_.HandleMessage(WM_CLOSE, 0, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(core_.HandleMessage(WM_DESTROY, 0, 0, result));
    EXPECT_TRUE(core_.HandleMessage(WM_ERASEBKGND, 0, 0, result));
    EXPECT_TRUE(core_.HandleMessage(WM_MOUSEACTIVATE, 0, 0, result));
    EXPECT_EQ(result, MA_NOACTIVATE);
    EXPECT_FALSE(Send(WM_OSD_SHOWHIDE, 0, 2));
    EXPECT_EQ(core_.State(), ShowState::Hidden);
    // A show that crossed the camera's Off on the way is stale.
    EXPECT_FALSE(Send(WM_OSD_SHOWHIDE, 0, kOsdShow));
    EXPECT_EQ(core_.State(), ShowState::Hidden);
    state_.cameraOn = 1;
    EXPECT_FALSE(Send(WM_OSD_SHOWHIDE, 0, kOsdShow));
    EXPECT_EQ(core_.State(), ShowState::Shown);
    core_.BeginDestroy();
    EXPECT_FALSE(Send(WM_CLOSE));
    EXPECT_FALSE(Send(WM_DESTROY));
}

}  // namespace
}  // namespace lensbeacon::indicator
