#include "controls/selector_core.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace lensbeacon::settings {
namespace {

constexpr int kCoordinateLimit = 32767;

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

int ClampCoordinate(int value) noexcept {
    return std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
}

SelectorCore::SelectorCore(SelectorSurface& surface, MouseTrackingApi& tracking) noexcept
    : surface_(&surface), tracker_(tracking) {}

void SelectorCore::Setup(const SelectorLayout& layout) {
    const auto size = [](int value) { return std::clamp(value, 0, kCoordinateLimit); };
    width_ = size(layout.width);
    height_ = size(layout.height);
    trackX_ = ClampCoordinate(layout.trackX);
    trackY_ = ClampCoordinate(layout.trackY);
    trackWidth_ = size(layout.trackWidth);
    trackHeight_ = size(layout.trackHeight);
    knobWidth_ = size(layout.knobWidth);
    knobHeight_ = size(layout.knobHeight);
    count_ = std::clamp(layout.count, 2, kMaxPositions);
    fadePictures_ = layout.fadePictures;

    // The knob travels inside the track and is centred on it vertically. A
    // knob wider than the track (or a missing track) cannot travel at all.
    knobBaseX_ = trackX_;
    knobY_ = trackY_ - (knobHeight_ - trackHeight_) / 2;
    travel_ = std::max(trackWidth_ - knobWidth_, 0);

    position_ = std::clamp(layout.initial, 0, count_ - 1);
    target_ = position_;
    knobOffset_ = KnobOffsetOf(position_);
    dragOffset_ = 0;
    dragging_ = false;
    pendingClick_ = false;
    knobState_ = kSelectorNormal;
    trackState_ = kSelectorNormal;
    fadeFrom_ = fadeTo_ = kSelectorNormal;
    fadeAlpha_ = 255;
    animating_ = false;

    BuildRegions();
    tracker_.SetArea(width_, height_);
    tracker_.SetRectangles(
        std::span<const RECT>(regions_.data(), static_cast<std::size_t>(RegionCount())));
    tracker_.SetHoverIndex(-1);
    tracker_.SetPressedIndex(-1);

    lastKnobX_ = KnobX();
    ComposeTrack(true, false);
    ComposeKnob();
    target_ = NearestPosition();
    created_ = true;
}

void SelectorCore::Reset() noexcept {
    created_ = false;
    dragging_ = false;
    pendingClick_ = false;
    animating_ = false;
}

int SelectorCore::KnobOffsetOf(int p) const noexcept {
    return p * travel_ / (count_ - 1);
}

RECT SelectorCore::Region(int index) const noexcept {
    if (index < 0 || index >= RegionCount()) {
        return RECT{0, 0, 0, 0};
    }
    return regions_[static_cast<std::size_t>(index)];
}

void SelectorCore::BuildRegions() {
    const int n = count_;
    const auto knobRect = [this](int p) {
        const int left = knobBaseX_ + KnobOffsetOf(p);
        return RECT{left, knobY_, left + knobWidth_, knobY_ + knobHeight_};
    };
    const LONG trackBottom = trackY_ + trackHeight_;
    for (int i = 0; i < n; ++i) {
        const RECT knob = knobRect(i);
        RECT segment{knob.left, trackY_, knob.right, trackBottom};
        if (i == 0) {
            segment.left = trackX_;
        }
        if (i == n - 1) {
            segment.right = trackX_ + trackWidth_;
        }
        regions_[static_cast<std::size_t>(i)] = segment;
        regions_[static_cast<std::size_t>(n + i)] = knob;
    }
    const RECT first = knobRect(0);
    const RECT last = knobRect(n - 1);
    regions_[static_cast<std::size_t>(2 * n)] =
        RECT{first.left, first.top, last.right, first.bottom};
    regions_[static_cast<std::size_t>(2 * n + 1)] = RECT{0, 0, width_, height_};
}

int SelectorCore::NearestPosition() const noexcept {
    // A distance of a whole travel never wins; ties keep the lower position.
    const int x = KnobX();
    int best = travel_;
    int nearest = target_;
    for (int i = 0; i < count_; ++i) {
        const int distance = std::abs(x - (knobBaseX_ + KnobOffsetOf(i)));
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

int SelectorCore::ClampDragOffset(int offset) const noexcept {
    const LONG from = Region(position_).left;
    const int lowest = static_cast<int>(Region(0).left - from);
    const int highest = static_cast<int>(Region(count_ - 1).left - from);
    return std::min(std::max(offset, lowest), highest);
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
        next = std::clamp(value, 0, count_ - 1);
    } else if (value == 0) {
        next = std::max(position_ - 1, 0);
    } else if (value == 1) {
        next = std::min(position_ + 1, count_ - 1);
    } else if (value == 2) {
        next = (position_ + 1) % count_;
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
        pressX_ = point.x;
        pressY_ = point.y;
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
        } else if (point.x != pressX_ || point.y != pressY_) {
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
    anchorX_ = anchorX;
    anchorY_ = anchorY;
    lastX_ = x;
    lastY_ = y;
    dragOffset_ = ClampDragOffset(x - anchorX_);
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
    if (x != lastX_) {
        const int offset = ClampDragOffset(x - anchorX_);
        if (offset != dragOffset_) {
            dragOffset_ = offset;
            moved = true;
        }
    }
    lastX_ = x;
    lastY_ = y;
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

void SelectorCore::Redraw(bool moved) {
    const bool visible = surface_->IsVisible();
    surface_->StopAnimationTimer();
    if (visible) {
        AdvanceFade();
        if (animating_ && !surface_->StartAnimationTimer()) {
            // Without a timer the fade could never finish: show the look now.
            EndFade();
        }
    } else {
        // Nothing is seen fading: the look changes at once.
        EndFade();
    }
    ComposeTrack(moved, visible && fadePictures_ && fadeFrom_ != fadeTo_);
    ComposeKnob();
    if (moved) {
        target_ = NearestPosition();
    }
    if (animating_) {
        ShowAll();
    } else {
        ShowKnob(moved);
    }
}

void SelectorCore::AdvanceFade() {
    animating_ = false;
    if (!fadePictures_) {
        return;
    }
    const int state = trackState_;
    const DWORD now = surface_->Now();
    surface_->LoadFadeTarget(state);
    if (fadeFrom_ == fadeTo_) {
        if (state == fadeTo_) {
            fadeAlpha_ = 255;
        } else {
            surface_->KeepShownTrack();
        }
    } else {
        surface_->KeepShownTrack();
        if (state == fadeTo_) {
            fadeAlpha_ = FadeAlphaAt(now);
            if (fadeAlpha_ >= 255) {
                fadeFrom_ = fadeTo_;
            } else {
                animating_ = true;
            }
        }
    }
    if (state != fadeTo_) {
        // A change during a running fade restarts from the picture on screen.
        fadeFrom_ = fadeTo_;
        fadeTo_ = state;
        fadeAlpha_ = kFadeStartAlpha;
        fadeStart_ = now - static_cast<DWORD>(kFadeStartAlpha);
        animating_ = true;
    }
}

void SelectorCore::EndFade() noexcept {
    animating_ = false;
    fadeFrom_ = fadeTo_ = trackState_;
    fadeAlpha_ = 255;
}

int SelectorCore::FadeAlphaAt(DWORD now) const noexcept {
    // Unsigned difference: correct across the tick count's wrap, and capped
    // before the multiplication so that a late tick cannot overflow it.
    const DWORD elapsed = now - fadeStart_;
    if (elapsed >= kFadeDuration) {
        return 255;
    }
    return static_cast<int>(elapsed * 255u / kFadeDuration);
}

void SelectorCore::OnAnimationTimer() {
    if (!created_) {
        surface_->StopAnimationTimer();
        return;
    }
    if (animating_) {
        const int alpha = FadeAlphaAt(surface_->Now());
        if (alpha >= 255) {
            animating_ = false;
            fadeAlpha_ = 255;
            ComposeTrack(false, true);
            fadeFrom_ = fadeTo_;
        } else if (alpha - fadeAlpha_ >= kFadeRedrawStep) {
            fadeAlpha_ = alpha;
            ComposeTrack(false, true);
        }
    } else {
        ComposeTrack(false, false);
    }
    ComposeKnob();
    if (!animating_) {
        surface_->StopAnimationTimer();
    }
    ShowAll();
}

void SelectorCore::ComposeTrack(bool refreshBackground, bool blend) {
    TrackDrawing drawing;
    drawing.refreshBackground = refreshBackground;
    drawing.split = knobOffset_ + dragOffset_;
    drawing.state = trackState_;
    drawing.blend = blend;
    drawing.alpha = fadeAlpha_;
    surface_->DrawTrack(drawing);
}

void SelectorCore::ComposeKnob() {
    surface_->DrawKnob(KnobX(), knobY_);
    previousKnobX_ = lastKnobX_;
}

void SelectorCore::ShowKnob(bool moved) {
    const int x = KnobX();
    int left = x;
    int right = x + knobWidth_;
    if (moved) {
        // The band the knob swept: where it was last shown and where it is.
        left = std::min(previousKnobX_, x);
        right = std::max(previousKnobX_, x) + knobWidth_;
    }
    surface_->Show(RECT{left, knobY_, right, knobY_ + knobHeight_});
    lastKnobX_ = x;
}

void SelectorCore::ShowAll() {
    surface_->Show(RECT{0, 0, width_, height_});
    lastKnobX_ = KnobX();
}

}  // namespace lensbeacon::settings
