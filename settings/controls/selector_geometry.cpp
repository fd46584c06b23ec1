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
    layout_ = layout;
    layout_.width = size(layout.width);
    layout_.height = size(layout.height);
    layout_.trackX = ClampCoordinate(layout.trackX);
    layout_.trackY = ClampCoordinate(layout.trackY);
    layout_.trackWidth = size(layout.trackWidth);
    layout_.trackHeight = size(layout.trackHeight);
    layout_.knobWidth = size(layout.knobWidth);
    layout_.knobHeight = size(layout.knobHeight);
    layout_.count = std::clamp(layout.count, 2, kMaxPositions);
    fadePictures_ = layout.fadePictures;

    // The knob travels inside the track and is centred on it vertically. A
    // knob wider than the track (or a missing track) cannot travel at all.
    knobBaseX_ = layout_.trackX;
    knobY_ = layout_.trackY - (layout_.knobHeight - layout_.trackHeight) / 2;
    travel_ = std::max(layout_.trackWidth - layout_.knobWidth, 0);

    position_ = std::clamp(layout.initial, 0, layout_.count - 1);
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
    tracker_.SetArea(layout_.width, layout_.height);
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
    return p * travel_ / (layout_.count - 1);
}

RECT SelectorCore::Region(int index) const noexcept {
    if (index < 0 || index >= RegionCount()) {
        return RECT{0, 0, 0, 0};
    }
    return regions_[static_cast<std::size_t>(index)];
}

void SelectorCore::BuildRegions() {
    const int n = layout_.count;
    const auto knobRect = [this](int p) {
        const int left = knobBaseX_ + KnobOffsetOf(p);
        return RECT{left, knobY_, left + layout_.knobWidth, knobY_ + layout_.knobHeight};
    };
    const LONG trackBottom = layout_.trackY + layout_.trackHeight;
    for (int i = 0; i < n; ++i) {
        const RECT knob = knobRect(i);
        RECT segment{knob.left, layout_.trackY, knob.right, trackBottom};
        if (i == 0) {
            segment.left = layout_.trackX;
        }
        if (i == n - 1) {
            segment.right = layout_.trackX + layout_.trackWidth;
        }
        regions_[static_cast<std::size_t>(i)] = segment;
        regions_[static_cast<std::size_t>(n + i)] = knob;
    }
    const RECT first = knobRect(0);
    const RECT last = knobRect(n - 1);
    regions_[static_cast<std::size_t>(2 * n)] =
        RECT{first.left, first.top, last.right, first.bottom};
    regions_[static_cast<std::size_t>(2 * n + 1)] = RECT{0, 0, layout_.width, layout_.height};
}

int SelectorCore::NearestPosition() const noexcept {
    // A distance of a whole travel never wins; ties keep the lower position.
    const int x = KnobX();
    int best = travel_;
    int nearest = target_;
    for (int i = 0; i < layout_.count; ++i) {
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
    const int highest = static_cast<int>(Region(layout_.count - 1).left - from);
    return std::min(std::max(offset, lowest), highest);
}

}  // namespace lensbeacon::settings
