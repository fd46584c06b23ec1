#include "window_placement.h"

#include "lparam_words.h"

namespace lensbeacon::indicator {

void WindowPlacement::ReadScreenSize() {
    screen_ = window_.PrimaryScreenSize();
}

void WindowPlacement::PlaceWindow() {
    StoredPosition stored;
    store_.Get(stored);
    if (stored.screenWidth == screen_.width && stored.screenHeight == screen_.height) {
        ClampAndMove(stored.x, stored.y, true);
        return;
    }
    window_.MoveTopmost((screen_.width - width_) / 2, margins_.top, width_, height_);
}

void WindowPlacement::ClampAndMove(int x, int y, bool force) {
    if (x < margins_.left) {
        x = margins_.left;
        force = true;
    } else if (x > screen_.width - margins_.rightReserve) {
        x = screen_.width - margins_.rightReserve;
        force = true;
    }
    if (y < margins_.top) {
        y = margins_.top;
    } else if (y > screen_.height - height_) {
        y = screen_.height - height_;
    } else if (!force) {
        return;
    }
    window_.MoveTopmost(x, y, width_, height_);
}

void WindowPlacement::OnWindowPosChanged(const WINDOWPOS& pos) {
    if (!window_.IsVisible()) {
        return;
    }
    StoredPosition published{pos.x, pos.y, screen_.width, screen_.height};
    // A change that was not a move (show, z-order, size) need not carry a
    // position; the window's rectangle holds the real one.
    if ((pos.flags & SWP_NOMOVE) != 0) {
        RECT rect;
        if (!window_.WindowRect(rect)) {
            return;
        }
        published.x = rect.left;
        published.y = rect.top;
    }
    store_.Set(published);
}

void WindowPlacement::OnDisplayChange(LPARAM lParam) {
    const int width = LowWord(lParam);
    const int height = HighWord(lParam);
    if (width != screen_.width || height != screen_.height) {
        screen_ = {width, height};
    }
    if (window_.IsVisible()) {
        PlaceWindow();
    }
}

void WindowPlacement::OnMoveEnded() {
    RECT rect;
    if (window_.WindowRect(rect)) {
        ClampAndMove(rect.left, rect.top, false);
    }
}

}  // namespace lensbeacon::indicator
