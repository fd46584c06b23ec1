// The switch's input: presses, moves, releases and leaves of the mouse, the
// drag of the knob and click-to-step, and position changes from the keys.
#include "controls/selector_core.h"

#include <algorithm>
#include <cstdint>

namespace lensbeacon::settings {
namespace {

struct Point {
    int x;
    int y;
};

// The signed low and high 16 bits, as the mouse messages pack them.
Point Unpack(LPARAM position) noexcept {
    const auto packed = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(position));
    return {static_cast<std::int16_t>(packed & 0xFFFFu), static_cast<std::int16_t>(packed >> 16)};
}

}  // namespace

SelectorCore::SelectorCore(SelectorPort& surface, MouseTrackingPort& tracking) noexcept
    : surface_(&surface), tracker_(tracking) {}

void SelectorCore::Reset() noexcept {
    created_ = false;
    dragging_ = false;
    pendingClick_ = false;
    animating_ = false;
}

int SelectorCore::FollowPointer(LPARAM position) {
    int previous = -1;
    int hit = -1;
    tracker_.OnMouseMove(position, &previous, &hit);
    return hit;
}

BOOL SelectorCore::SetPosition(int value, BOOL absolute, BOOL notify) {
    if (!created_ || dragging_ || !surface_->IsEnabled()) {
        return FALSE;
    }
    int next = position_;
    if (absolute) {
        next = std::clamp(value, 0, layout_.count - 1);
    } else if (value == 0) {
        next = std::max(position_ - 1, 0);
    } else if (value == 1) {
        next = std::min(position_ + 1, layout_.count - 1);
    } else if (value == 2) {
        next = (position_ + 1) % layout_.count;
    }
    if (next == position_) {
        return FALSE;
    }
    const int hover = tracker_.HoverIndex();
    if (OnPosition(hover, next)) {
        knobState_ = hover == tracker_.PressedIndex() ? kSelectorPressed : kSelectorHot;
    } else {
        knobState_ = kSelectorNormal;
    }
    position_ = next;
    target_ = next;
    knobOffset_ = KnobOffsetOf(next);
    Redraw(true);
    surface_->PostPosition(position_);
    if (notify) {
        surface_->Publish(position_ != 0);
    }
    return TRUE;
}

void SelectorCore::OnLButtonDown(LPARAM position) {
    if (!created_) {
        return;
    }
    if (dragging_) {
        // The release of an earlier drag never arrived: that drag is over.
        EndDrag();
    }
    const int hit = FollowPointer(position);
    const Point point = Unpack(position);
    tracker_.SetPressedIndex(tracker_.HoverIndex());
    const int track = OnNoPart(hit) ? kSelectorNormal : kSelectorPressed;
    const bool trackChanged = track != trackState_;
    trackState_ = track;
    if (OnPosition(hit, position_)) {
        StartDrag(point.x, point.y, point.x, point.y);
        return;
    }
    if (!OnNoPart(hit)) {
        pendingClick_ = true;
        press_ = POINT{point.x, point.y};
    }
    if (trackChanged) {
        Redraw(false);
    }
}

void SelectorCore::OnMouseMove(LPARAM position, bool leftDown) {
    if (!created_) {
        return;
    }
    const int before = tracker_.HoverIndex();
    const int hit = FollowPointer(position);
    const Point point = Unpack(position);
    if (dragging_) {
        DragTo(point.x, point.y, hit, leftDown);
        return;
    }
    int track = leftDown ? kSelectorPressed : kSelectorHot;
    if (OnNoPart(hit)) {
        track = kSelectorNormal;
    }
    bool changed = track != trackState_;
    trackState_ = track;
    if (OnPosition(hit, position_)) {
        const int knob = leftDown ? kSelectorPressed : kSelectorHot;
        changed = changed || knob != knobState_;
        knobState_ = knob;
    } else if (OnPosition(before, position_) && knobState_ != kSelectorNormal) {
        knobState_ = kSelectorNormal;
        changed = true;
    }
    if (pendingClick_) {
        if (!leftDown) {
            pendingClick_ = false;
        } else if (point.x != press_.x || point.y != press_.y) {
            // The press away from the knob turns into a drag: the knob jumps
            // by the pointer's offset from the middle of its own segment.
            pendingClick_ = false;
            if (hit >= 0) {
                const RECT segment = Region(position_);
                StartDrag(static_cast<int>((segment.left + segment.right) / 2), point.y, point.x,
                          point.y);
                return;
            }
        }
    }
    if (changed) {
        Redraw(false);
    }
}

void SelectorCore::StartDrag(int anchorX, int anchorY, int x, int y) {
    dragging_ = true;
    pendingClick_ = false;
    anchor_ = POINT{anchorX, anchorY};
    last_ = POINT{x, y};
    dragOffset_ = ClampDragOffset(x - static_cast<int>(anchor_.x));
    knobState_ = kSelectorPressed;
    Redraw(true);
}

void SelectorCore::DragTo(int x, int y, int hit, bool leftDown) {
    if (!leftDown || hit == -1) {
        EndDrag();
        return;
    }
    const bool trackChanged = trackState_ != kSelectorPressed;
    trackState_ = kSelectorPressed;
    bool moved = false;
    if (x != last_.x) {
        const int offset = ClampDragOffset(x - static_cast<int>(anchor_.x));
        if (offset != dragOffset_) {
            dragOffset_ = offset;
            moved = true;
        }
    }
    last_ = POINT{x, y};
    if (moved || trackChanged) {
        Redraw(moved);
    }
}

void SelectorCore::EndDrag() {
    const int snapped = target_;
    dragging_ = false;
    pendingClick_ = false;
    dragOffset_ = 0;
    const int hover = tracker_.HoverIndex();
    knobState_ = OnPosition(hover, snapped) ? kSelectorHot : kSelectorNormal;
    trackState_ = OnNoPart(hover) ? kSelectorNormal : kSelectorHot;
    if (snapped != position_) {
        position_ = snapped;
        surface_->PostPosition(position_);
        surface_->Publish(position_ != 0);
    }
    knobOffset_ = KnobOffsetOf(position_);
    Redraw(true);
}

void SelectorCore::OnLButtonUp(LPARAM position) {
    if (!created_) {
        return;
    }
    const int hit = FollowPointer(position);
    const Point point = Unpack(position);
    if (tracker_.PressedIndex() == tracker_.HoverIndex()) {
        tracker_.SetPressedIndex(-1);
    }
    if (dragging_) {
        EndDrag();
        return;
    }
    const int track = OnNoPart(hit) ? kSelectorNormal : kSelectorHot;
    bool changed = track != trackState_;
    trackState_ = track;
    if (pendingClick_) {
        pendingClick_ = false;
        if (!OnPosition(hit, position_)) {
            // A click beside the knob steps one position towards it.
            const RECT segment = Region(position_);
            BOOL stepped = FALSE;
            if (point.x >= segment.right) {
                stepped = SetPosition(1, FALSE, TRUE);
            } else if (point.x < segment.left) {
                stepped = SetPosition(0, FALSE, TRUE);
            }
            changed = changed && !stepped;  // the step redrew everything
        }
    } else if (OnPosition(hit, position_)) {
        changed = changed || knobState_ != kSelectorHot;
        knobState_ = kSelectorHot;
    }
    if (changed) {
        Redraw(false);
    }
}

void SelectorCore::OnMouseLeave() {
    const int before = tracker_.HoverIndex();
    tracker_.OnMouseLeave();
    if (!created_) {
        return;
    }
    if (dragging_) {
        EndDrag();
        return;
    }
    pendingClick_ = false;
    bool changed = trackState_ != kSelectorNormal;
    trackState_ = kSelectorNormal;
    if (OnPosition(before, position_) && knobState_ != kSelectorNormal) {
        knobState_ = kSelectorNormal;
        changed = true;
    }
    if (changed) {
        Redraw(false);
    }
}

void SelectorCore::CancelInput() {
    if (!created_) {
        return;
    }
    if (dragging_) {
        EndDrag();
    }
    pendingClick_ = false;
}

}  // namespace lensbeacon::settings
