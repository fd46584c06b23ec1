#include "mouse_event_ctrl.h"

namespace lensbeacon::indicator {

BOOL CMouseEventCtrl2::SetHitRects(const HitRect* rects, std::size_t count) {
    if (!rects_.empty() || rects == nullptr || count == 0) {
        return FALSE;
    }
    rects_.assign(rects, rects + count);
    return TRUE;
}

int CMouseEventCtrl2::HitTest(int x, int y) const noexcept {
    if (x < 0 || y < 0 || x > areaWidth_ || y > areaHeight_ || rects_.empty()) {
        return kNoHit;
    }
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        const HitRect& r = rects_[i];
        if (r.x <= px && px < r.x + r.w && r.y <= py && py < r.y + r.h) {
            return static_cast<int>(i);
        }
    }
    return kNoHit;
}

HoverChange CMouseEventCtrl2::OnPointerMove(int x, int y) {
    if (!tracking_) {
        window_.TrackMouseLeave();
        window_.SetTimer(kPointerCheckTimer, kPointerCheckMs);
        tracking_ = TRUE;
    }
    HoverChange change;
    change.oldHover = hover_;
    change.newHover = HitTest(x, y);
    if (change.newHover != hover_) {
        change.changed = true;
        hover_ = change.newHover;
    }
    return change;
}

HoverChange CMouseEventCtrl2::OnPointerLeave() {
    if (tracking_) {
        EndTracking();
    }
    HoverChange change;
    change.oldHover = hover_;
    if (hover_ != kNoHit) {
        change.changed = true;
        hover_ = kNoHit;
    }
    return change;
}

bool CMouseEventCtrl2::CheckPointerGone() {
    if (!tracking_ || hover_ != 0 || window_.CursorOverWindow()) {
        return false;
    }
    EndTracking();
    pressed_ = kNoHit;
    hover_ = kNoHit;
    return true;
}

void CMouseEventCtrl2::EndTracking() {
    window_.KillTimer(kPointerCheckTimer);
    tracking_ = FALSE;
    window_.SetTimer(kCloseButtonTimer, kCloseButtonMs);
}

}  // namespace lensbeacon::indicator
