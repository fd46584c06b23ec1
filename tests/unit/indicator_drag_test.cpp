// The indicator window's drag, which the window follows itself on a timer
// so that it is never activated, and the words it says while the camera is
// on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera_announcement.h"
#include "indicator_window_fakes.h"

namespace lensbeacon::indicator {
namespace {

using test::OsdWindow;
using testing::ElementsAre;
using testing::IsEmpty;

TEST_F(OsdWindow, TheWindowFollowsADragItselfOncePerPress) {
    ShowShown();  // at (896, 9)
    Pointer(WM_MOUSEMOVE, 50, 10);
    window_.pointer = {946, 19};  // the same point on the screen
    window_.Take();
    Pointer(WM_LBUTTONDOWN, 50, 10, true);  // a press on the glyph watches for a drag
    core_.OnTimer(kDragTimer);              // the pointer has not moved: nothing yet
    EXPECT_THAT(window_.Take(), ElementsAre("SetTimer 4 15"));
    Pointer(WM_MOUSEMOVE, 51, 10, true);  // the drag takes hold, drawn lighter
    EXPECT_THAT(window_.Take(), ElementsAre("Render caption normal", "Compose 178"));
    // The grabbed point stays under the pointer, read on the screen, on a
    // move over the window and on the timer wherever the pointer is.
    window_.pointer = {957, 39};
    Pointer(WM_MOUSEMOVE, 61, 30, true);
    window_.pointer = {1500, 700};
    core_.OnTimer(kDragTimer);
    core_.OnTimer(kDragTimer);  // the same place: no move
    EXPECT_THAT(window_.Take(), ElementsAre("Move 907 29 128 75", "Move 1450 690 128 75"));
    // The button let go over another window ends the drag on the timer.
    window_.buttonDown = false;
    core_.OnTimer(kDragTimer);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 4", "Render caption normal", "Compose 255"));
    Pointer(WM_LBUTTONUP, 51, 10);  // no drag any more: nothing
    EXPECT_THAT(window_.Take(), IsEmpty());

    // A new press becomes a drag on the timer alone, as when no pointer
    // message reaches the window.
    window_.buttonDown = true;
    Pointer(WM_LBUTTONDOWN, 50, 10, true);
    window_.pointer = {1510, 710};
    core_.OnTimer(kDragTimer);
    EXPECT_THAT(window_.Take(), ElementsAre("SetTimer 4 15", "Render caption normal", "Compose 178",
                                            "Move 1460 700 128 75"));
}

TEST_F(OsdWindow, DragEndSnapsInsideTheMarginsOnlyWhenOutside) {
    ShowShown();
    Pointer(WM_MOUSEMOVE, 50, 10);
    Pointer(WM_LBUTTONDOWN, 50, 10, true);
    Pointer(WM_MOUSEMOVE, 51, 10, true);
    window_.Take();
    window_.rect = {5, 400, 133, 475};
    Pointer(WM_LBUTTONUP, 50, 10);
    EXPECT_THAT(window_.Take(), ElementsAre("KillTimer 4", "Render caption normal", "Compose 255",
                                            "Move 11 400 128 75"));
    Pointer(WM_LBUTTONDOWN, 50, 10, true);
    Pointer(WM_MOUSEMOVE, 51, 10, true);
    window_.rect = {700, 400, 828, 475};
    Pointer(WM_LBUTTONUP, 50, 10);
    EXPECT_THAT(window_.Take(), ElementsAre("SetTimer 4 15", "Render caption normal", "Compose 178",
                                            "KillTimer 4", "Render caption normal", "Compose 255"));
}

TEST_F(OsdWindow, ADragEndsWhereTheButtonWasLetGoThoughThePointerReadLagsBehind) {
    ShowShown();  // at (896, 9)
    Pointer(WM_MOUSEMOVE, 50, 10);
    window_.pointer = {946, 19};
    Pointer(WM_LBUTTONDOWN, 50, 10, true);
    Pointer(WM_MOUSEMOVE, 51, 10, true);
    window_.Take();
    // The screen still says the press point; the release is 100 across and
    // 100 down from it.
    Pointer(WM_LBUTTONUP, 150, 110);
    EXPECT_THAT(window_.Take(), ElementsAre("Move 996 109 128 75", "KillTimer 4",
                                            "Render caption normal", "Compose 255"));
}

TEST(CameraAnnouncement, TheCaptionThenTheNamesAsTheResourcesJoinThem) {
    const std::vector<std::wstring> two = {L"Meet", L"WindowsCamera"};
    EXPECT_EQ(Announcement(L"Camera on", L"%1: %2", L", ", two), L"Camera on: Meet, WindowsCamera");
    EXPECT_EQ(Announcement(L"Camera on", L"%2 \x2014 %1", L" / ", two),
              L"Meet / WindowsCamera \x2014 Camera on");
    EXPECT_EQ(Announcement(L"Camera on", L"%1: %2", L", ", {}), L"Camera on");
    EXPECT_EQ(Announcement(L"Camera on", L"", L", ", two), L"Camera on");  // no resource
    EXPECT_EQ(Announcement(L"Camera on", L"%1 only", L", ", two), L"Camera on");
}

}  // namespace
}  // namespace lensbeacon::indicator
