#include "controls/shadow_geometry.h"

namespace lensbeacon::settings {

StripPlacement StripPlacementFor(int index, int leftWidth, int topHeight) noexcept {
    switch (index) {
        case kStripLeft:
            return {-leftWidth, 0, kAnchorTopLeft};
        case kStripRight:
            return {0, 0, kAnchorTopRight};
        case kStripTop:
            return {-leftWidth, -topHeight, kAnchorTopLeft};
        case kStripBottom:
            return {-leftWidth, 0, kAnchorBottomLeft};
        default:
            return {0, 0, 0};
    }
}

std::optional<POINT> StripPositionFrom(const RECT& owner,
                                       const StripPlacement& placement) noexcept {
    if (placement.anchor < kAnchorTopLeft || placement.anchor > kAnchorBottomRight) {
        return std::nullopt;
    }
    constexpr int kRightEdgeBit = 1;
    constexpr int kBottomEdgeBit = 2;
    const LONG x = (placement.anchor & kRightEdgeBit) != 0 ? owner.right : owner.left;
    const LONG y = (placement.anchor & kBottomEdgeBit) != 0 ? owner.bottom : owner.top;
    return POINT{x + placement.xOffset, y + placement.yOffset};
}

BYTE ShadowStatusFromStyle(LONG style) noexcept {
    const auto bits = static_cast<DWORD>(style);
    if ((bits & WS_VISIBLE) == 0) {
        return kShadowEnabled;
    }
    if ((bits & (WS_MINIMIZE | WS_MAXIMIZE)) != 0) {
        return kShadowEnabled | kShadowOwnerVisible;
    }
    return kShadowEnabled | kShadowShown | kShadowOwnerVisible;
}

void ShadowFollower::OnOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                    ShadowStripPort& strips) {
    switch (message) {
        case WM_DESTROY:
            strips.DestroyStrips();
            break;
        case WM_MOVE:
            if ((status_ & kShadowShown) != 0) {
                strips.MoveStrips();
            }
            break;
        case WM_SIZE:
            if ((status_ & kShadowEnabled) != 0) {
                OnSize(wParam, static_cast<DWORD>(static_cast<ULONG_PTR>(lParam)), strips);
            }
            break;
        case WM_PAINT:
            if (updatePending_) {
                strips.UpdateStrips();
                updatePending_ = false;
            }
            break;
        case WM_SHOWWINDOW:
            if ((status_ & kShadowEnabled) != 0) {
                OnShowWindow(wParam != 0, strips);
            }
            break;
        case WM_EXITSIZEMOVE:
            if ((status_ & kShadowShown) != 0) {
                strips.UpdateStrips();
            }
            break;
        default:
            break;
    }
}

void ShadowFollower::OnSize(WPARAM type, DWORD size, ShadowStripPort& strips) {
    if (type == SIZE_MAXIMIZED || type == SIZE_MINIMIZED) {
        strips.HideStrips();
        status_ = static_cast<BYTE>(status_ & ~kShadowShown);
        lastSize_ = size;
        return;
    }
    if ((status_ & kShadowOwnerVisible) != 0) {
        const DWORD width = size & 0xFFFFu;
        const DWORD height = size >> 16;
        if (width > (lastSize_ & 0xFFFFu) || height > (lastSize_ >> 16)) {
            updatePending_ = true;
        } else {
            strips.UpdateStrips();
        }
        if ((status_ & kShadowShown) == 0) {
            strips.ShowStrips();
            status_ = static_cast<BYTE>(status_ | kShadowShown);
        }
    }
    lastSize_ = size;
}

void ShadowFollower::OnShowWindow(bool showing, ShadowStripPort& strips) {
    if (!showing) {
        strips.HideStrips();
        status_ = static_cast<BYTE>(status_ & ~(kShadowShown | kShadowOwnerVisible));
        return;
    }
    if ((status_ & kShadowOwnerVisible) != 0) {
        return;
    }
    updatePending_ = true;
    strips.ShowStrips();
    status_ = static_cast<BYTE>(status_ | kShadowShown | kShadowOwnerVisible);
}

}  // namespace lensbeacon::settings
