#include "mouse_event_ctrl.h"

#include <span>

namespace lensbeacon::indicator {

BOOL CMouseEventCtrl2::SetHitRects(const HitRect* rects, std::size_t count) {
    if (pointer_.HasRectangles() || rects == nullptr || count == 0) {
        return FALSE;
    }
    pointer_.SetRectangles(std::span<const HitRect>(rects, count));
    return TRUE;
}

BOOL CMouseEventCtrl2::Rescale(int areaWidth, int areaHeight, const HitRect* rects,
                               std::size_t count) {
    if (rects == nullptr || count == 0) {
        return FALSE;
    }
    pointer_.SetArea(areaWidth, areaHeight);
    pointer_.SetRectangles(std::span<const HitRect>(rects, count));
    return TRUE;
}

HoverChange CMouseEventCtrl2::OnPointerMove(int x, int y) {
    if (!pointer_.Tracking()) {
        window_.TrackMouseLeave();
        window_.SetTimer(kPointerCheckTimer, kPointerCheckMs);
        pointer_.SetTracking(true);
    }
    return pointer_.Follow(HitTest(x, y));
}

HoverChange CMouseEventCtrl2::OnPointerLeave() {
    if (pointer_.Tracking()) {
        EndTracking();
    }
    return pointer_.Follow(kNoHit);
}

bool CMouseEventCtrl2::CheckPointerGone() {
    if (!pointer_.Tracking() || pointer_.Hover() != 0 || window_.CursorOverWindow()) {
        return false;
    }
    EndTracking();
    pointer_.SetPressed(kNoHit);
    pointer_.SetHover(kNoHit);
    return true;
}

void CMouseEventCtrl2::EndTracking() {
    window_.KillTimer(kPointerCheckTimer);
    pointer_.SetTracking(false);
    window_.SetTimer(kCloseButtonTimer, kCloseButtonMs);
}

}  // namespace lensbeacon::indicator
