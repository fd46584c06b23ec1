// Pointer tracking and hit testing for a window of fixed size: which of a few
// rectangles the pointer is over, whether the last left-button press began
// over one of them, and the leave tracking that notices when the pointer has
// gone. The hover and press state is the pointer tracker both programs
// share (lensbeacon/pointer_tracker.h); the window's side of it (leave
// tracking, timers, the cursor) goes through PointerTrackingPort.
#pragma once

#include <windows.h>

#include <cstddef>

#include "lensbeacon/pointer_tracker.h"

namespace lensbeacon::indicator {

// Timers the pointer tracking runs on its window.
inline constexpr UINT_PTR kPointerCheckTimer = 20;  // while leave tracking is armed
inline constexpr UINT kPointerCheckMs = 100;
inline constexpr UINT_PTR kCloseButtonTimer = 21;  // after the pointer left
inline constexpr UINT kCloseButtonMs = 2000;

// No rectangle: the hover and pressed value when the pointer is over none.
inline constexpr int kNoHit = kNoPointerHit;

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

// x <= px < x + w, likewise for y, compared as floats.
inline bool HoldsPoint(const HitRect& r, int x, int y) noexcept {
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    return r.x <= px && px < r.x + r.w && r.y <= py && py < r.y + r.h;
}

// What a pointer event did to the hover index.
using lensbeacon::HoverChange;

class CMouseEventCtrl2 {
  public:
    CMouseEventCtrl2(PointerTrackingPort& window, int areaWidth, int areaHeight) noexcept
        : window_(window) {
        pointer_.SetArea(areaWidth, areaHeight);
    }
    virtual ~CMouseEventCtrl2() = default;
    CMouseEventCtrl2(const CMouseEventCtrl2&) = delete;
    CMouseEventCtrl2& operator=(const CMouseEventCtrl2&) = delete;

    // Installs the rectangles once; false when some are installed already.
    BOOL SetHitRects(const HitRect* rects, std::size_t count);
    // A new display scale: the area and the rectangles (as many as were
    // installed, in the same order) are replaced; hover and press stay.
    // False, with nothing changed, for an empty or null array.
    BOOL Rescale(int areaWidth, int areaHeight, const HitRect* rects, std::size_t count);

    // The first rectangle holding the point (x <= px < x + w, likewise for y),
    // or kNoHit. A point on the area's right or bottom edge still passes the
    // area test.
    int HitTest(int x, int y) const noexcept { return pointer_.HitTest(x, y); }

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

    int Hover() const noexcept { return pointer_.Hover(); }
    int Pressed() const noexcept { return pointer_.Pressed(); }
    bool Tracking() const noexcept { return pointer_.Tracking(); }
    // WM_LBUTTONDOWN: the press starts over the rectangle at its point.
    void PressAt(int x, int y) noexcept { pointer_.SetPressed(HitTest(x, y)); }
    // WM_LBUTTONUP: the press ends; answers where it started.
    int Release() noexcept {
        const int started = pointer_.Pressed();
        pointer_.SetPressed(kNoHit);
        return started;
    }

  private:
    void EndTracking();

    PointerTrackingPort& window_;
    PointerTracker<HitRect> pointer_;
};

}  // namespace lensbeacon::indicator
