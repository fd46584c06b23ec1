#include "controls/mouse_event_ctrl.h"

#include <cstdint>

namespace lensbeacon::settings {
namespace {

class SystemTrackingApi final : public MouseTrackingApi {
  public:
    BOOL TrackLeave(HWND window) override {
        TRACKMOUSEEVENT request{};
        request.cbSize = sizeof(request);
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = window;
        return ::TrackMouseEvent(&request);
    }
    BOOL PointInRegion(HRGN region, int x, int y) override { return ::PtInRegion(region, x, y); }
};

}  // namespace

MouseTrackingApi& SystemMouseTrackingApi() noexcept {
    static SystemTrackingApi api;
    return api;
}

void CMouseEventCtrl::SetRectangles(std::span<const RECT> rectangles) {
    rectangles_.assign(rectangles.begin(), rectangles.end());
}

void CMouseEventCtrl::SetSubRegions(int rectangleIndex, std::span<const HRGN> regions) {
    subRegionRectangle_ = rectangleIndex;
    subRegions_.assign(regions.begin(), regions.end());
}

int CMouseEventCtrl::HitTest(int x, int y) {
    hoverSubRegion_ = -1;
    if (x < 0 || y < 0 || x > width_ || y > height_) {
        return -1;
    }
    int found = -1;
    for (std::size_t i = 0; i < rectangles_.size(); ++i) {
        const RECT& r = rectangles_[i];
        if (r.left <= x && x < r.right && r.top <= y && y < r.bottom) {
            found = static_cast<int>(i);
            break;
        }
    }
    if (found >= 0 && found == subRegionRectangle_ && !subRegions_.empty()) {
        const RECT& r = rectangles_[static_cast<std::size_t>(found)];
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
    if (!tracking_) {
        // Armed only when the system took the request; otherwise the next
        // move asks again, so a leave is never waited for in vain.
        tracking_ = api_->TrackLeave(window_) != FALSE;
    }
    // The signed low and high 16 bits, as WM_MOUSEMOVE packs them.
    const auto packed = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(position));
    const int x = static_cast<std::int16_t>(packed & 0xFFFFu);
    const int y = static_cast<std::int16_t>(packed >> 16);
    const int index = HitTest(x, y);
    if (current != nullptr) {
        *current = index;
    }
    if (index == hoverIndex_) {
        return FALSE;
    }
    if (previous != nullptr) {
        *previous = hoverIndex_;
    }
    hoverIndex_ = index;
    return TRUE;
}

void CMouseEventCtrl::OnMouseLeave() noexcept {
    tracking_ = false;
    hoverSubRegion_ = -1;
    hoverIndex_ = -1;
}

RECT CMouseEventCtrl::GetRect(int index) const noexcept {
    if (index < 0 || static_cast<std::size_t>(index) >= rectangles_.size()) {
        return RECT{0, 0, 0, 0};
    }
    return rectangles_[static_cast<std::size_t>(index)];
}

}  // namespace lensbeacon::settings
