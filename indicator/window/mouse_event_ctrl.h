// Pointer tracking and hit testing for a window of fixed size: which of a few
// rectangles the pointer is over, whether the last left-button press began
// over one of them, and the leave tracking that notices when the pointer has
// gone. The window's side of it (leave tracking, timers, the cursor) goes
// through PointerTrackingPort.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace lensbeacon::indicator {

// Timers the pointer tracking runs on its window.
inline constexpr UINT_PTR kPointerCheckTimer = 20;  // while leave tracking is armed
inline constexpr UINT kPointerCheckMs = 100;
inline constexpr UINT_PTR kCloseButtonTimer = 21;  // after the pointer left
inline constexpr UINT kCloseButtonMs = 2000;

// No rectangle: the hover and pressed value when the pointer is over none.
inline constexpr int kNoHit = -1;

class PointerTrackingPort {
  public:
    virtual ~PointerTrackingPort() = default;

    // Asks for one WM_MOUSELEAVE when the pointer leaves the window.
    virtual bool TrackMouseLeave() = 0;
    virtual bool SetTimer(UINT_PTR id, UINT periodMs) = 0;
    virtual bool KillTimer(UINT_PTR id) = 0;
    // The window under the cursor is this window. True when the cursor
    // position cannot be read, so that nothing is taken as gone.
    virtual bool CursorOverWindow() = 0;
};

// A hit rectangle in window pixels, compared as floats.
struct HitRect {
    float x;
    float y;
    float w;
    float h;
};

// What a pointer event did to the hover index.
struct HoverChange {
    bool changed = false;
    int oldHover = kNoHit;
    int newHover = kNoHit;
};

class CMouseEventCtrl2 {
  public:
    CMouseEventCtrl2(PointerTrackingPort& window, int areaWidth, int areaHeight) noexcept
        : window_(window), areaWidth_(areaWidth), areaHeight_(areaHeight) {}
    virtual ~CMouseEventCtrl2() = default;
    CMouseEventCtrl2(const CMouseEventCtrl2&) = delete;
    CMouseEventCtrl2& operator=(const CMouseEventCtrl2&) = delete;

    // Installs the rectangles once; false when some are installed already.
    BOOL SetHitRects(const HitRect* rects, std::size_t count);

    // The first rectangle holding the point (x <= px < x + w, likewise for y),
    // or kNoHit. A point on the area's right or bottom edge still passes the
    // area test.
    int HitTest(int x, int y) const noexcept;

    // Arms leave tracking on the first move, then updates the hover index.
    HoverChange OnPointerMove(int x, int y);
    // WM_MOUSELEAVE: tracking ends, the close-button timer starts, and the
    // hover index drops to kNoHit.
    HoverChange OnPointerLeave();
    // Timer 20: while the pointer hovered rectangle 0 and tracking is armed,
    // true when the cursor is no longer over the window (a leave the system
    // did not report); tracking then ends as on a leave, and hover and
    // pressed are cleared.
    bool CheckPointerGone();

    int Hover() const noexcept { return hover_; }
    int Pressed() const noexcept { return pressed_; }
    bool Tracking() const noexcept { return tracking_ != FALSE; }
    // WM_LBUTTONDOWN: the press starts over the rectangle at its point.
    void PressAt(int x, int y) noexcept { pressed_ = HitTest(x, y); }
    // WM_LBUTTONUP: the press ends; answers where it started.
    int Release() noexcept {
        const int started = pressed_;
        pressed_ = kNoHit;
        return started;
    }

  private:
    void EndTracking();

    PointerTrackingPort& window_;
    BOOL tracking_ = FALSE;
    int areaWidth_;
    int areaHeight_;
    int hover_ = kNoHit;
    int pressed_ = kNoHit;
    std::vector<HitRect> rects_;
};

}  // namespace lensbeacon::indicator
