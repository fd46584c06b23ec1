#include "drag_following.h"

namespace lensbeacon::indicator {

// The press point comes from the message: the pointer may have moved on by
// the time it is handled.
void DragFollowing::WatchForDrag(int x, int y) {
    RECT rect;
    if (!window_.WindowRect(rect) || !window_.SetTimer(kDragTimer, kDragMs)) {
        return;
    }
    grab_ = POINT{x, y};
    pressPoint_ = POINT{rect.left + x, rect.top + y};
    watching_ = true;
}

bool DragFollowing::Beyond(int dx, int dy) const noexcept {
    return dx >= threshold_ || -dx >= threshold_ || dy >= threshold_ || -dy >= threshold_;
}

void DragFollowing::ScaleGrab(int fromDpi, int toDpi) noexcept {
    if (fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) {
        return;
    }
    grab_.x = static_cast<LONG>(static_cast<long long>(grab_.x) * toDpi / fromDpi);
    grab_.y = static_cast<LONG>(static_cast<long long>(grab_.y) * toDpi / fromDpi);
}

void DragFollowing::OnMoveWithButton(int x, int y) {
    if (!watching_) {
        grab_ = POINT{x, y};
    } else if (!Beyond(x - grab_.x, y - grab_.y)) {
        return;  // still a press, within the threshold of where it was
    }
    Begin();
}

void DragFollowing::OnTimer() {
    if (!window_.PrimaryButtonDown()) {
        // Let go, perhaps over another window that took the release.
        End();
        return;
    }
    POINT pointer;
    if (!state_.moveInProgress && window_.PointerOnScreen(pointer) &&
        Beyond(pointer.x - pressPoint_.x, pointer.y - pressPoint_.y)) {
        Begin();
    }
    if (state_.moveInProgress) {
        Follow();
    }
}

// Once per press: drawn lighter while it moves.
void DragFollowing::Begin() {
    state_.dragStarted = TRUE;
    if (!watching_ && !window_.SetTimer(kDragTimer, kDragMs)) {
        return;
    }
    watching_ = true;
    state_.moveInProgress = TRUE;
    events_.OnDragBegun();
}

// Keeps the point of the window that was grabbed under the pointer. The
// pointer is read on the screen: a message's window coordinates are stale
// once the window has moved after it was sent.
void DragFollowing::Follow() {
    POINT pointer;
    if (window_.PointerOnScreen(pointer)) {
        FollowTo(pointer);
    }
}

void DragFollowing::FollowTo(POINT pointer) {
    RECT rect;
    if (!window_.WindowRect(rect)) {
        return;
    }
    const int left = pointer.x - grab_.x;
    const int top = pointer.y - grab_.y;
    if (left != rect.left || top != rect.top) {
        window_.MoveTopmost(left, top, width_, height_);
    }
}

void DragFollowing::EndAt(int x, int y) {
    RECT rect;
    if (state_.moveInProgress && window_.WindowRect(rect)) {
        FollowTo(POINT{rect.left + x, rect.top + y});
    }
    End();
}

void DragFollowing::End() {
    if (watching_) {
        window_.KillTimer(kDragTimer);
        watching_ = false;
    }
    if (!state_.moveInProgress) {
        return;
    }
    state_.moveInProgress = FALSE;
    state_.dragStarted = FALSE;
    events_.OnDragEnded();
}

}  // namespace lensbeacon::indicator
