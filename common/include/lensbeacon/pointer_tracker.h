// The pointer tracker both window programs use: which of a window's hit
// rectangles the pointer is over, where the last left-button press began, and
// whether a leave notification is armed. Plain state: arming the leave
// notification (TrackMouseEvent) is the window's business (see
// winframe/pointer_leave.h), and so is what a change of hover means.
//
// A rectangle type tells whether it holds a point through an overload of
// HoldsPoint found beside it: RECT here (left and top edges inside, right and
// bottom outside), the indicator's float rectangles in its own namespace.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <vector>

namespace lensbeacon {

// No rectangle: the hover and pressed value when the pointer is over none.
inline constexpr int kNoPointerHit = -1;

inline bool HoldsPoint(const RECT& r, int x, int y) noexcept {
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

// What a pointer event did to the hover index.
struct HoverChange {
    bool changed = false;
    int oldHover = kNoPointerHit;
    int newHover = kNoPointerHit;
};

template <typename Rect>
class PointerTracker {
  public:
    // The area in which hits count, in the window's client coordinates; its
    // right and bottom edges count as inside.
    void SetArea(int width, int height) noexcept {
        width_ = width;
        height_ = height;
    }
    // The hit rectangles, in priority order.
    void SetRectangles(std::span<const Rect> rectangles) {
        rectangles_.assign(rectangles.begin(), rectangles.end());
    }
    bool HasRectangles() const noexcept { return !rectangles_.empty(); }
    int RectangleCount() const noexcept { return static_cast<int>(rectangles_.size()); }
    // The rectangle at `index`, or null.
    const Rect* RectangleAt(int index) const noexcept {
        if (index < 0 || static_cast<std::size_t>(index) >= rectangles_.size()) {
            return nullptr;
        }
        return &rectangles_[static_cast<std::size_t>(index)];
    }

    // The first rectangle, in array order, that holds the point, or
    // kNoPointerHit; kNoPointerHit too outside the area.
    int HitTest(int x, int y) const noexcept {
        if (x < 0 || y < 0 || x > width_ || y > height_) {
            return kNoPointerHit;
        }
        for (std::size_t i = 0; i < rectangles_.size(); ++i) {
            if (HoldsPoint(rectangles_[i], x, y)) {
                return static_cast<int>(i);
            }
        }
        return kNoPointerHit;
    }

    // The hover index becomes `index`; what it was, and whether it changed.
    HoverChange Follow(int index) noexcept {
        HoverChange change;
        change.oldHover = hover_;
        change.newHover = index;
        if (index != hover_) {
            change.changed = true;
            hover_ = index;
        }
        return change;
    }

    // Whether a leave notification is armed.
    bool Tracking() const noexcept { return tracking_; }
    void SetTracking(bool tracking) noexcept { tracking_ = tracking; }

    int Hover() const noexcept { return hover_; }
    void SetHover(int index) noexcept { hover_ = index; }
    int Pressed() const noexcept { return pressed_; }
    void SetPressed(int index) noexcept { pressed_ = index; }

  private:
    bool tracking_ = false;
    int width_ = 0;
    int height_ = 0;
    int hover_ = kNoPointerHit;
    int pressed_ = kNoPointerHit;
    std::vector<Rect> rectangles_;
};

}  // namespace lensbeacon
