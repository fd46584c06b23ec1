#include "controls/mouse_event_ctrl.h"

#include <cstdint>

namespace lensbeacon::settings {

void CMouseEventCtrl::SetSubRegions(int rectangleIndex, std::span<const HRGN> regions) {
    subRegionRectangle_ = rectangleIndex;
    subRegions_.assign(regions.begin(), regions.end());
}

int CMouseEventCtrl::HitTest(int x, int y) {
    hoverSubRegion_ = -1;
    const int found = pointer_.HitTest(x, y);
    if (found >= 0 && found == subRegionRectangle_ && !subRegions_.empty()) {
        const RECT& r = *pointer_.RectangleAt(found);
        for (std::size_t i = 0; i < subRegions_.size(); ++i) {
            if (api_->PointInRegion(subRegions_[i], x - r.left, y - r.top)) {
                hoverSubRegion_ = static_cast<int>(i);
                break;
            }
        }
    }
    return found;
}

BOOL CMouseEventCtrl::OnMouseMove(LPARAM position, int* previous, int* current) {
    if (!pointer_.Tracking()) {
        // Armed only when the system took the request; otherwise the next
        // move asks again, so a leave is never waited for in vain.
        pointer_.SetTracking(api_->TrackLeave(window_) != FALSE);
    }
    // The signed low and high 16 bits, as WM_MOUSEMOVE packs them.
    const auto packed = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(position));
    const int x = static_cast<std::int16_t>(packed & 0xFFFFu);
    const int y = static_cast<std::int16_t>(packed >> 16);
    const HoverChange change = pointer_.Follow(HitTest(x, y));
    if (current != nullptr) {
        *current = change.newHover;
    }
    if (!change.changed) {
        return FALSE;
    }
    if (previous != nullptr) {
        *previous = change.oldHover;
    }
    return TRUE;
}

void CMouseEventCtrl::OnMouseLeave() noexcept {
    pointer_.SetTracking(false);
    hoverSubRegion_ = -1;
    pointer_.SetHover(kNoPointerHit);
}

RECT CMouseEventCtrl::GetRect(int index) const noexcept {
    const RECT* rect = pointer_.RectangleAt(index);
    return rect != nullptr ? *rect : RECT{0, 0, 0, 0};
}

}  // namespace lensbeacon::settings
