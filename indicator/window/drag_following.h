// The indicator window follows a drag by its glyph itself. The system's move
// loop would activate the window and take the keyboard from the program in
// front, and a window that is not in front cannot hold the pointer; this
// needs neither: from a press on the glyph a short timer looks at the
// pointer until the button is let go, wherever the pointer goes, and keeps
// the grabbed point of the window under it.
#pragma once

#include <windows.h>

#include "indicator_state.h"
#include "osd_window_port.h"

namespace lensbeacon::indicator {

inline constexpr UINT_PTR kDragTimer = 4;  // the window follows a drag
inline constexpr UINT kDragMs = 15;

// What the window does when a drag takes hold and when it ends.
class DragEvents {
  public:
    virtual ~DragEvents() = default;
    // The drag took hold: the window is redrawn lighter.
    virtual void OnDragBegun() = 0;
    // The button was let go after a drag: redrawn at full opacity and pulled
    // back inside the margins.
    virtual void OnDragEnded() = 0;
};

class DragFollowing {
  public:
    DragFollowing(OsdWindowPort& window, IndicatorState& state, DragEvents& events) noexcept
        : window_(window), state_(state), events_(events) {}

    // The window's size, for the moves that follow the pointer.
    void SetWindowSize(int width, int height) noexcept {
        width_ = width;
        height_ = height;
    }

    // How far the pointer must move from the press, in pixels on either
    // axis, before the press becomes a drag (1 at 96 dpi: any move).
    void SetThreshold(int pixels) noexcept { threshold_ = pixels < 1 ? 1 : pixels; }
    // The window was drawn at another scale under a drag: the grabbed point
    // moves with the picture, to `toDpi` / `fromDpi` of where it was.
    void ScaleGrab(int fromDpi, int toDpi) noexcept;

    // A press on the glyph at (x, y) of the window may become a drag.
    void WatchForDrag(int x, int y);
    // A pointer move over the glyph with the button held, at (x, y) of the
    // window: the drag takes hold at once.
    void OnMoveWithButton(int x, int y);
    // The drag timer.
    void OnTimer();
    // The window follows the pointer while the drag is in progress.
    void Follow();
    // The button was let go (or found up): the drag, if any, ends.
    void End();
    // The button was let go at (x, y) of the window: a drag ends with the
    // grabbed point there, by the release's own point, since the pointer
    // read on the screen may lag behind it.
    void EndAt(int x, int y);

  private:
    // The pointer is at least the threshold away from the press on an axis.
    bool Beyond(int dx, int dy) const noexcept;
    void Begin();
    void FollowTo(POINT pointer);

    OsdWindowPort& window_;
    IndicatorState& state_;
    DragEvents& events_;
    int width_ = 0;
    int height_ = 0;
    int threshold_ = 1;
    bool watching_ = false;   // the drag timer runs
    POINT pressPoint_{0, 0};  // where the press on the glyph was, on the screen
    POINT grab_{0, 0};        // the point of the window being dragged
};

}  // namespace lensbeacon::indicator
