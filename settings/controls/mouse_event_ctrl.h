// Which of a window's rectangles the cursor is over, with optional irregular
// sub-regions inside one of them, and the arming of leave notifications.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

namespace lensbeacon::settings {

// The two system calls the tracker makes.
class MouseTrackingApi {
  public:
    // Asks for WM_MOUSELEAVE on the window; the call's answer.
    virtual BOOL TrackLeave(HWND window) = 0;
    virtual BOOL PointInRegion(HRGN region, int x, int y) = 0;

  protected:
    ~MouseTrackingApi() = default;
};

MouseTrackingApi& SystemMouseTrackingApi() noexcept;

class CMouseEventCtrl {
  public:
    explicit CMouseEventCtrl(MouseTrackingApi& api = SystemMouseTrackingApi()) noexcept
        : api_(&api) {}
    virtual ~CMouseEventCtrl() = default;
    CMouseEventCtrl(const CMouseEventCtrl&) = delete;
    CMouseEventCtrl& operator=(const CMouseEventCtrl&) = delete;

    // What the owner fills in: the window, the area in its client
    // coordinates in which hits count, the hit rectangles in priority order,
    // and the sub-regions (coordinates relative to the rectangle's top-left
    // corner) of rectangle `rectangleIndex`. The region handles stay the
    // owner's.
    void SetWindow(HWND window) noexcept { window_ = window; }
    void SetArea(int width, int height) noexcept {
        width_ = width;
        height_ = height;
    }
    void SetRectangles(std::span<const RECT> rectangles);
    void SetSubRegions(int rectangleIndex, std::span<const HRGN> regions);
    bool HasRectangles() const noexcept { return !rectangles_.empty(); }
    int RectangleCount() const noexcept { return static_cast<int>(rectangles_.size()); }

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

    bool Tracking() const noexcept { return tracking_; }
    void ClearTracking() noexcept { tracking_ = false; }
    int HoverIndex() const noexcept { return hoverIndex_; }
    void SetHoverIndex(int index) noexcept { hoverIndex_ = index; }
    int HoverSubRegion() const noexcept { return hoverSubRegion_; }
    void SetHoverSubRegion(int index) noexcept { hoverSubRegion_ = index; }
    int PressedIndex() const noexcept { return pressedIndex_; }
    void SetPressedIndex(int index) noexcept { pressedIndex_ = index; }

  private:
    MouseTrackingApi* api_;
    bool tracking_ = false;
    int width_ = 0;
    int height_ = 0;
    int hoverIndex_ = -1;
    int pressedIndex_ = -1;
    std::vector<RECT> rectangles_;
    HWND window_ = nullptr;
    std::vector<HRGN> subRegions_;
    int subRegionRectangle_ = -1;
    int hoverSubRegion_ = -1;
};

}  // namespace lensbeacon::settings
