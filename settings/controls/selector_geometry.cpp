// The switch's geometry: where the knob sits for each position, the hit
// regions that makes, the snapping of a dragged knob to the nearest position
// and the limits of a drag.
#include "controls/selector_core.h"

#include <algorithm>
#include <cstdlib>

namespace lensbeacon::settings {
namespace {

constexpr int kCoordinateLimit = 32767;

}  // namespace

int ClampCoordinate(int value) noexcept {
    return std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
}

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

}  // namespace lensbeacon::settings
