// The settings switch without a window: its geometry and hit regions, the
// snapping of a dragged knob, click-to-step, the keys' position changes, the
// track's cross-fade, and the switch events over private events.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "controls/selector_core.h"
#include "controls/switch_events.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::settings {
namespace {

class FakeTracking : public MouseTrackingPort {
  public:
    BOOL TrackLeave(HWND) override { return TRUE; }
    BOOL PointInRegion(HRGN, int, int) override { return FALSE; }
};

class FakeSurface : public SelectorPort {
  public:
    bool IsVisible() override { return visible; }
    bool IsEnabled() override { return enabled; }
    bool StartAnimationTimer() override {
        timerOn = timerWorks;
        ++timerStarts;
        return timerWorks;
    }
    void StopAnimationTimer() override { timerOn = false; }
    DWORD Now() override { return now; }
    void LoadFadeTarget(int state) override { fadeTargets.push_back(state); }
    void KeepShownTrack() override { ++snapshots; }
    void DrawTrack(const TrackDrawing& drawing) override { tracks.push_back(drawing); }
    void DrawKnob(int, int) override {}
    void Show(const RECT& area) override { shown.push_back(area); }
    void PostPosition(int position) override { posted.push_back(position); }
    void Publish(bool on) override { published.push_back(on); }

    bool visible = true;
    bool enabled = true;
    bool timerWorks = true;
    bool timerOn = false;
    int timerStarts = 0;
    DWORD now = 100000;
    int snapshots = 0;
    std::vector<int> fadeTargets, posted;
    std::vector<bool> published;
    std::vector<TrackDrawing> tracks;
    std::vector<RECT> shown;
};

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// The program's switch at scale 1.0: a 100 x 34 track, a 53 x 34 knob.
SelectorLayout SwitchLayout(int initial = 0, bool fade = true) {
    return SelectorLayout{100, 34, 0, 0, 100, 34, 53, 34, 2, initial, fade};
}

using Box = std::array<LONG, 4>;

Box BoxOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

class SelectorTest : public ::testing::Test {
  protected:
    void Make(const SelectorLayout& layout) {
        core.Setup(layout);
        surface.tracks.clear();
        surface.shown.clear();
    }
    // A press and release at one point, without a move before them.
    void Click(int x, int y = 17) {
        core.OnLButtonDown(At(x, y));
        core.OnLButtonUp(At(x, y));
    }
    // Press at `from`, move with the button down to `to`, release there.
    void Drag(int from, int to, int y = 17) {
        core.OnLButtonDown(At(from, y));
        core.OnMouseMove(At(to, y), true);
        core.OnLButtonUp(At(to, y));
    }

    FakeSurface surface;
    FakeTracking tracking;
    SelectorCore core{surface, tracking};
};

TEST_F(SelectorTest, GeometryOfTheTwoPositionSwitch) {
    Make(SwitchLayout());
    EXPECT_EQ(core.Travel(), 47);
    EXPECT_EQ(core.KnobOffsetOf(0), 0);
    EXPECT_EQ(core.KnobOffsetOf(1), 47);
    EXPECT_EQ(core.KnobX(), 0);
    ASSERT_EQ(core.RegionCount(), 6);
    // Segments of Off and On, knobs at Off and On, the travel, the control.
    const Box expected[] = {{0, 0, 53, 34},   {47, 0, 100, 34}, {0, 0, 53, 34},
                            {47, 0, 100, 34}, {0, 0, 100, 34},  {0, 0, 100, 34}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(BoxOf(core.Region(i)), expected[i]) << i;
    }
    Make(SwitchLayout(1));
    EXPECT_EQ(core.KnobX(), 47);
    EXPECT_EQ(core.Target(), 1);
}

TEST_F(SelectorTest, GeometryOfOtherLayouts) {
    // Three positions, an offset track in a larger control, a taller knob.
    const SelectorLayout layout{160, 50, 10, 8, 120, 30, 40, 36, 3, 0, true};
    Make(layout);
    EXPECT_EQ(core.Travel(), 80);
    EXPECT_EQ(core.KnobY(), 5);
    const Box expected[] = {
        {10, 8, 50, 38}, {50, 8, 90, 38},  {90, 8, 130, 38}, {10, 5, 50, 41},
        {50, 5, 90, 41}, {90, 5, 130, 41}, {10, 5, 130, 41}, {0, 0, 160, 50},
    };
    ASSERT_EQ(core.RegionCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(BoxOf(core.Region(i)), expected[i]) << i;
    }
    // A click right of the middle knob steps one position, not to the end.
    Make(layout);
    ASSERT_TRUE(core.SetPosition(1, TRUE, FALSE));
    Click(120, 20);
    EXPECT_EQ(core.Position(), 2);

    // Out-of-range counts and initial positions are kept within bounds.
    SelectorLayout odd = SwitchLayout(7);
    odd.count = 1;
    Make(odd);
    EXPECT_EQ(core.Count(), 2);
    EXPECT_EQ(core.Position(), 1);
}

TEST_F(SelectorTest, WithoutTheTrackImageClicksAndDragsChangeNothing) {
    SelectorLayout layout = SwitchLayout();
    layout.trackWidth = layout.trackHeight = 0;
    Make(layout);
    EXPECT_EQ(core.Travel(), 0);
    EXPECT_EQ(core.KnobY(), -17);
    Click(80);
    Drag(10, 90);
    Drag(10, 90, 10);  // on the knob, which has nowhere to go
    EXPECT_EQ(core.Position(), 0);
    EXPECT_TRUE(surface.published.empty());
    EXPECT_TRUE(surface.posted.empty());
}

TEST_F(SelectorTest, DraggedKnobSnapsToTheNearestPosition) {
    Make(SwitchLayout());
    Drag(10, 33);  // knob x 23: 23 from Off, 24 from On
    EXPECT_EQ(core.Position(), 0);
    EXPECT_FALSE(core.Dragging());
    EXPECT_TRUE(surface.published.empty());
    EXPECT_TRUE(surface.posted.empty());

    Drag(10, 34);  // knob x 24: the tie rule does not apply, On is nearer
    EXPECT_EQ(core.Position(), 1);
    EXPECT_EQ(surface.published, std::vector<bool>{true});
    EXPECT_EQ(surface.posted, std::vector<int>{1});
    EXPECT_EQ(core.KnobX(), 47);

    // From On, far beyond the left end: clamped at Off.
    core.OnLButtonDown(At(90, 17));
    core.OnMouseMove(At(-300, 17), true);
    EXPECT_EQ(core.DragOffset(), 0);  // -300 is outside the control: the drag ended
    core.OnLButtonDown(At(90, 17));
    core.OnMouseMove(At(1, 17), true);
    EXPECT_EQ(core.DragOffset(), -47);
    EXPECT_EQ(core.KnobX(), 0);
    core.OnLButtonUp(At(1, 17));
    EXPECT_EQ(core.Position(), 0);
    EXPECT_EQ(surface.published, (std::vector<bool>{true, false}));

    // An even travel of 48: halfway is a tie, which the lower position wins.
    SelectorLayout even = SwitchLayout(1);
    even.knobWidth = 52;
    Make(even);
    Drag(90, 66);
    EXPECT_EQ(core.Position(), 0);
}

TEST_F(SelectorTest, ClickBesideTheKnobStepsOnceAndPublishesOnce) {
    Make(SwitchLayout());
    Click(80);
    EXPECT_EQ(core.Position(), 1);
    EXPECT_EQ(surface.published, std::vector<bool>{true});
    EXPECT_EQ(surface.posted, std::vector<int>{1});
    EXPECT_EQ(core.TrackState(), kSelectorHot);

    Click(20);
    EXPECT_EQ(core.Position(), 0);
    EXPECT_EQ(surface.published, (std::vector<bool>{true, false}));

    // On: a click where the Off segment overlaps the knob lies on Off, but
    // inside the On segment, and changes nothing.
    ASSERT_TRUE(core.SetPosition(1, TRUE, FALSE));
    Click(50);
    EXPECT_EQ(core.Position(), 1);
    EXPECT_EQ(surface.published.size(), 2u);
}

TEST_F(SelectorTest, PressOnTheKnobAndReleaseChangesNothing) {
    Make(SwitchLayout(1));
    core.OnLButtonDown(At(90, 17));
    EXPECT_TRUE(core.Dragging());
    EXPECT_EQ(core.KnobState(), kSelectorPressed);
    core.OnLButtonUp(At(90, 17));
    EXPECT_FALSE(core.Dragging());
    EXPECT_EQ(core.Position(), 1);
    EXPECT_EQ(core.KnobState(), kSelectorHot);
    EXPECT_TRUE(surface.published.empty());
    EXPECT_TRUE(surface.posted.empty());
}

TEST_F(SelectorTest, PressOnTheTrackThenMoveBecomesADragFromTheSegmentCentre) {
    Make(SwitchLayout());
    core.OnLButtonDown(At(80, 17));
    EXPECT_TRUE(core.PendingClick());
    EXPECT_FALSE(core.Dragging());
    // The Off segment runs 0 ... 53: its centre 26 is the anchor.
    core.OnMouseMove(At(40, 17), true);
    EXPECT_FALSE(core.PendingClick());
    EXPECT_TRUE(core.Dragging());
    EXPECT_EQ(core.DragOffset(), 14);
    core.OnMouseMove(At(99, 17), true);
    EXPECT_EQ(core.DragOffset(), 47);
    core.OnMouseMove(At(40, 17), true);
    core.OnLButtonUp(At(40, 17));
    EXPECT_EQ(core.Position(), 0);  // knob x 14 snaps back
    EXPECT_TRUE(surface.published.empty());

    // A release of the button before any move cancels the pending click.
    core.OnLButtonDown(At(80, 17));
    core.OnMouseMove(At(81, 17), false);
    EXPECT_FALSE(core.PendingClick());
    core.OnLButtonUp(At(81, 17));
    EXPECT_EQ(core.Position(), 0);
    EXPECT_TRUE(surface.published.empty());
}

TEST_F(SelectorTest, LeavingEndsTheDragAtTheNearestPosition) {
    Make(SwitchLayout());
    core.OnLButtonDown(At(10, 17));
    core.OnMouseMove(At(50, 17), true);  // knob x 40
    core.OnMouseLeave();
    EXPECT_FALSE(core.Dragging());
    EXPECT_EQ(core.Position(), 1);
    EXPECT_EQ(surface.published, std::vector<bool>{true});
    EXPECT_EQ(core.TrackState(), kSelectorNormal);
    EXPECT_EQ(core.KnobState(), kSelectorNormal);
    EXPECT_EQ(core.HoverIndex(), -1);
}

TEST_F(SelectorTest, SetPositionFollowsItsTable) {
    Make(SwitchLayout());
    EXPECT_FALSE(core.SetPosition(-5, TRUE, TRUE));  // clamped to 0: unchanged
    EXPECT_TRUE(core.SetPosition(9, TRUE, FALSE));   // clamped to 1
    EXPECT_EQ(core.Position(), 1);
    EXPECT_EQ(core.Target(), 1);
    EXPECT_TRUE(surface.published.empty());  // no notify, yet the label hears
    EXPECT_EQ(surface.posted, std::vector<int>{1});

    EXPECT_FALSE(core.SetPosition(1, FALSE, TRUE));  // already rightmost
    EXPECT_FALSE(core.SetPosition(7, FALSE, TRUE));  // not a step
    EXPECT_FALSE(core.SetPosition(-1, FALSE, TRUE));
    EXPECT_TRUE(core.SetPosition(0, FALSE, TRUE));
    EXPECT_FALSE(core.SetPosition(0, FALSE, TRUE));  // already leftmost
    EXPECT_TRUE(core.SetPosition(2, FALSE, TRUE));   // round: 0 -> 1
    EXPECT_TRUE(core.SetPosition(2, FALSE, TRUE));   // round: 1 -> 0
    EXPECT_EQ(core.Position(), 0);
    EXPECT_EQ(surface.published, (std::vector<bool>{false, true, false}));
    // The knob moved from 47 to 0: the band both knobs cover is shown.
    surface.shown.clear();
    EXPECT_TRUE(core.SetPosition(1, FALSE, FALSE));
    ASSERT_FALSE(surface.shown.empty());
    EXPECT_EQ(BoxOf(surface.shown.back()), (Box{0, 0, 100, 34}));

    surface.enabled = false;
    EXPECT_FALSE(core.SetPosition(0, FALSE, TRUE));
    surface.enabled = true;
    core.Reset();
    EXPECT_FALSE(core.SetPosition(0, FALSE, TRUE));
    EXPECT_EQ(core.Position(), 1);
}

TEST_F(SelectorTest, KeysDuringADragDoNothing) {
    Make(SwitchLayout());
    core.OnLButtonDown(At(10, 17));
    core.OnMouseMove(At(20, 17), true);
    const std::size_t posted = surface.posted.size();
    EXPECT_FALSE(core.SetPosition(1, FALSE, TRUE));
    EXPECT_FALSE(core.SetPosition(1, TRUE, FALSE));
    EXPECT_EQ(core.Position(), 0);
    EXPECT_EQ(surface.posted.size(), posted);
    core.OnLButtonUp(At(20, 17));
    EXPECT_TRUE(core.SetPosition(1, FALSE, TRUE));
}

TEST_F(SelectorTest, KnobLookFollowsTheHoverWhenTheKeysMoveIt) {
    Make(SwitchLayout());
    core.OnMouseMove(At(90, 17), false);  // over the On segment
    EXPECT_EQ(core.TrackState(), kSelectorHot);
    EXPECT_EQ(core.KnobState(), kSelectorNormal);
    ASSERT_TRUE(core.SetPosition(1, FALSE, TRUE));
    EXPECT_EQ(core.KnobState(), kSelectorHot);
    ASSERT_TRUE(core.SetPosition(0, FALSE, TRUE));
    EXPECT_EQ(core.KnobState(), kSelectorNormal);
}

TEST_F(SelectorTest, TrackCrossFadesOverAQuarterSecond) {
    Make(SwitchLayout());
    core.OnLButtonDown(At(80, 17));  // normal -> pressed
    EXPECT_TRUE(core.Animating());
    EXPECT_TRUE(surface.timerOn);
    EXPECT_EQ(core.FadeFrom(), kSelectorNormal);
    EXPECT_EQ(core.FadeTo(), kSelectorPressed);
    EXPECT_EQ(surface.fadeTargets, std::vector<int>{kSelectorPressed});
    EXPECT_EQ(surface.snapshots, 1);  // the fade starts from what is shown
    ASSERT_EQ(surface.tracks.size(), 1u);
    EXPECT_TRUE(surface.tracks[0].blend);
    EXPECT_EQ(surface.tracks[0].alpha, 25);
    EXPECT_EQ(BoxOf(surface.shown.back()), (Box{0, 0, 100, 34}));

    // The start lies 25 ms back; alpha (now - start) * 255 / 250 is drawn
    // only once it rose by 16 since the last drawing.
    surface.now += 14;  // 39 ms: alpha 39
    core.OnAnimationTimer();
    EXPECT_EQ(surface.tracks.size(), 1u);
    EXPECT_EQ(core.FadeAlpha(), 25);
    surface.now += 2;  // 41 ms: alpha 41
    core.OnAnimationTimer();
    ASSERT_EQ(surface.tracks.size(), 2u);
    EXPECT_EQ(surface.tracks[1].alpha, 41);
    surface.now += 100;  // 141 ms: alpha 143
    core.OnAnimationTimer();
    EXPECT_EQ(surface.tracks.back().alpha, 143);
    EXPECT_TRUE(surface.timerOn);
    surface.now += 109;  // 250 ms: the fade ends on the pressed look
    core.OnAnimationTimer();
    EXPECT_EQ(surface.tracks.back().alpha, 255);
    EXPECT_TRUE(surface.tracks.back().blend);
    EXPECT_FALSE(core.Animating());
    EXPECT_FALSE(surface.timerOn);
    EXPECT_EQ(core.FadeFrom(), core.FadeTo());
    // A stray tick draws plainly and stops the timer again.
    core.OnAnimationTimer();
    EXPECT_FALSE(surface.tracks.back().blend);
    EXPECT_EQ(surface.tracks.back().state, kSelectorPressed);
}

TEST_F(SelectorTest, FadeSurvivesLateTicksAndRestartsOnChange) {
    Make(SwitchLayout());
    core.OnLButtonDown(At(80, 17));
    surface.now += 100;
    core.OnMouseLeave();  // pressed -> normal mid-fade: restart from the screen
    EXPECT_EQ(core.FadeFrom(), kSelectorPressed);
    EXPECT_EQ(core.FadeTo(), kSelectorNormal);
    EXPECT_EQ(core.FadeAlpha(), 25);
    EXPECT_EQ(surface.snapshots, 2);
    // A tick days late (and across the tick count's wrap) ends the fade
    // instead of overflowing.
    surface.now += 0xF0000000u;
    core.OnAnimationTimer();
    EXPECT_EQ(surface.tracks.back().alpha, 255);
    EXPECT_FALSE(core.Animating());
}

TEST_F(SelectorTest, WithoutFadePicturesOrTimerLooksChangeAtOnce) {
    Make(SwitchLayout(0, false));
    core.OnLButtonDown(At(80, 17));
    EXPECT_FALSE(core.Animating());
    EXPECT_EQ(surface.timerStarts, 0);
    ASSERT_EQ(surface.tracks.size(), 1u);
    EXPECT_FALSE(surface.tracks[0].blend);
    EXPECT_EQ(surface.tracks[0].state, kSelectorPressed);
    EXPECT_TRUE(surface.fadeTargets.empty());
    // Only the knob's rectangle reaches the screen.
    EXPECT_EQ(BoxOf(surface.shown.back()), (Box{0, 0, 53, 34}));

    surface.timerWorks = false;
    Make(SwitchLayout(0, true));
    core.OnLButtonDown(At(80, 17));
    EXPECT_FALSE(core.Animating());
    EXPECT_FALSE(surface.tracks.back().blend);
    EXPECT_EQ(surface.tracks.back().state, kSelectorPressed);

    // A hidden switch does not fade either.
    surface.timerWorks = true;
    surface.visible = false;
    core.OnMouseLeave();
    EXPECT_FALSE(core.Animating());
    EXPECT_EQ(surface.tracks.back().state, kSelectorNormal);
}

TEST_F(SelectorTest, AnyInputBeforeSetupOrFromAnywhereIsHarmless) {
    core.OnLButtonDown(At(10, 10));
    core.OnMouseMove(At(20, 10), true);
    core.OnLButtonUp(At(20, 10));
    core.OnMouseLeave();
    core.OnAnimationTimer();
    EXPECT_TRUE(surface.tracks.empty());
    EXPECT_TRUE(surface.shown.empty());

    Make(SwitchLayout());
    const LPARAM odd[] = {0,
                          -1,
                          At(-1, -1),
                          At(100, 34),
                          At(101, 0),
                          At(32767, -32768),
                          static_cast<LPARAM>(0x7FFF8000),
                          At(50, 17)};
    for (LPARAM a : odd) {
        for (LPARAM b : odd) {
            core.OnLButtonDown(a);
            core.OnMouseMove(b, true);
            core.OnMouseMove(a, false);
            core.OnLButtonUp(b);
            core.OnAnimationTimer();
            ASSERT_GE(core.Position(), 0);
            ASSERT_LE(core.Position(), 1);
            ASSERT_GE(core.KnobX(), 0);
            ASSERT_LE(core.KnobX(), 47);
        }
    }
    core.OnMouseLeave();
    EXPECT_FALSE(core.Dragging());
    EXPECT_EQ(surface.published.size(), surface.posted.size());
}

// The switch functions over events of this test's own names.
class SwitchEventsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::wstring id = std::to_wstring(::GetCurrentProcessId());
        enableName = L"Local\\Lensbeacon selector test enable " + id;
        changeName = L"Local\\Lensbeacon selector test change " + id;
    }
    std::wstring enableName, changeName;
};

TEST_F(SwitchEventsTest, StateFollowsTheEnableEvent) {
    EXPECT_EQ(QuerySwitchStateOf(enableName.c_str()), kSwitchUndetermined);
    UniqueHandle enable(::CreateEventW(nullptr, TRUE, FALSE, enableName.c_str()));
    ASSERT_TRUE(enable);
    EXPECT_EQ(QuerySwitchStateOf(enableName.c_str()), kSwitchOff);
    ASSERT_TRUE(::SetEvent(enable.get()));
    EXPECT_EQ(QuerySwitchStateOf(enableName.c_str()), kSwitchOn);
    EXPECT_EQ(QuerySwitchStateOf(enableName.c_str()), kSwitchOn);  // reading keeps it
}

TEST_F(SwitchEventsTest, SwitchingSetsEnableThenPulsesChangeOnlyWithBoth) {
    UniqueHandle enable(::CreateEventW(nullptr, TRUE, FALSE, enableName.c_str()));
    ASSERT_TRUE(enable);
    // Without the change event nothing is touched.
    EXPECT_FALSE(SetSwitchEventsOf(TRUE, enableName.c_str(), changeName.c_str()));
    EXPECT_EQ(::WaitForSingleObject(enable.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    UniqueHandle change(::CreateEventW(nullptr, FALSE, FALSE, changeName.c_str()));
    ASSERT_TRUE(change);
    EXPECT_TRUE(SetSwitchEventsOf(TRUE, enableName.c_str(), changeName.c_str()));
    EXPECT_EQ(::WaitForSingleObject(enable.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(::WaitForSingleObject(change.get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(SetSwitchEventsOf(FALSE, enableName.c_str(), changeName.c_str()));
    EXPECT_EQ(::WaitForSingleObject(enable.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(::WaitForSingleObject(change.get(), 0), WAIT_OBJECT_0);

    enable.reset();
    EXPECT_FALSE(SetSwitchEventsOf(TRUE, enableName.c_str(), changeName.c_str()));
    EXPECT_EQ(::WaitForSingleObject(change.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
}  // namespace lensbeacon::settings
