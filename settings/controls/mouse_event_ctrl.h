// The settings program's use of the shared pointer tracker
// (lensbeacon/pointer_tracker.h): which of a window's rectangles the cursor
// is over, with optional irregular sub-regions inside one of them, and the
// arming of leave notifications through MouseTrackingPort.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "lensbeacon/pointer_tracker.h"

namespace lensbeacon::settings {

// The two system calls the tracker makes.
class MouseTrackingPort {
  public:
    // Asks for WM_MOUSELEAVE on the window; the call's answer.
    virtual BOOL TrackLeave(HWND window) = 0;
    virtual BOOL PointInRegion(HRGN region, int x, int y) = 0;

  protected:
    ~MouseTrackingPort() = default;
};

// The system's calls (mouse_tracking_win32.cpp, in settings_win32).
MouseTrackingPort& SystemMouseTrackingPort() noexcept;

class CMouseEventCtrl {
  public:
    explicit CMouseEventCtrl(MouseTrackingPort& api) noexcept : api_(&api) {}
    virtual ~CMouseEventCtrl() = default;
    CMouseEventCtrl(const CMouseEventCtrl&) = delete;
    CMouseEventCtrl& operator=(const CMouseEventCtrl&) = delete;

    // What the owner fills in: the window, the area in its client
    // coordinates in which hits count, the hit rectangles in priority order,
    // and the sub-regions (coordinates relative to the rectangle's top-left
    // corner) of rectangle `rectangleIndex`. The region handles stay the
    // owner's.
    void SetWindow(HWND window) noexcept { window_ = window; }
    void SetArea(int width, int height) noexcept { pointer_.SetArea(width, height); }
    void SetRectangles(std::span<const RECT> rectangles) { pointer_.SetRectangles(rectangles); }
    void SetSubRegions(int rectangleIndex, std::span<const HRGN> regions);
    bool HasRectangles() const noexcept { return pointer_.HasRectangles(); }
    int RectangleCount() const noexcept { return pointer_.RectangleCount(); }

    // The first rectangle, in array order, that holds the point (left and top
    // edges inside, right and bottom outside), or -1; -1 too outside the
    // area (whose right and bottom edges count as inside). Sets the hover
    // sub-region to the first sub-region holding the point, or -1.
    int HitTest(int x, int y);

    // For WM_MOUSEMOVE: arms the leave notification if it is not armed, hit
    // tests the packed position and follows the hover index. TRUE when the
    // hover index changed, with the old one in `previous`; `current` always
    // receives the new index.
    BOOL OnMouseMove(LPARAM position, int* previous, int* current);

    // For WM_MOUSELEAVE: the notification is used up, and nothing is hovered.
    void OnMouseLeave() noexcept;

    // The rectangle at `index`, or the empty rectangle.
    RECT GetRect(int index) const noexcept;

    bool Tracking() const noexcept { return pointer_.Tracking(); }
    void ClearTracking() noexcept { pointer_.SetTracking(false); }
    int HoverIndex() const noexcept { return pointer_.Hover(); }
    void SetHoverIndex(int index) noexcept { pointer_.SetHover(index); }
    int HoverSubRegion() const noexcept { return hoverSubRegion_; }
    void SetHoverSubRegion(int index) noexcept { hoverSubRegion_ = index; }
    int PressedIndex() const noexcept { return pointer_.Pressed(); }
    void SetPressedIndex(int index) noexcept { pointer_.SetPressed(index); }

  private:
    MouseTrackingPort* api_;
    PointerTracker<RECT> pointer_;
    HWND window_ = nullptr;
    std::vector<HRGN> subRegions_;
    int subRegionRectangle_ = -1;
    int hoverSubRegion_ = -1;
};

}  // namespace lensbeacon::settings
