// Where the indicator window goes: the published position when it was taken
// on a screen of the current size, otherwise centred at the top; always kept
// inside fixed margins of the primary screen. Also publishes every position
// the visible window takes, so the other desktop's instance shows it in the
// same place.
#pragma once

#include <windows.h>

#include "position_store_port.h"

namespace lensbeacon::indicator {

inline constexpr int kLeftMargin = 11;
// The right limit is screenWidth - 139: the 128-pixel window plus the same
// 11-pixel margin as on the left.
inline constexpr int kRightReserve = 139;
inline constexpr int kTopMargin = 9;

// The margins kept at a display scale (the constants above at 96 dpi).
struct PlacementMargins {
    int left = kLeftMargin;
    int top = kTopMargin;
    // The right limit is screenWidth - rightReserve.
    int rightReserve = kRightReserve;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

class PlacementPort {
  public:
    virtual ~PlacementPort() = default;

    // The primary screen's size in pixels.
    [[nodiscard]] virtual ScreenSize PrimaryScreenSize() = 0;
    // Moves and sizes the window, keeping it topmost.
    [[nodiscard]] virtual bool MoveTopmost(int x, int y, int width, int height) = 0;
    [[nodiscard]] virtual bool WindowRect(RECT& rect) = 0;
    [[nodiscard]] virtual bool IsVisible() = 0;
};

class WindowPlacement {
  public:
    WindowPlacement(PlacementPort& window, PositionStorePort& store, int width, int height) noexcept
        : window_(window), store_(store), width_(width), height_(height) {}

    // The window's size and margins at a new display scale; the next
    // placement or clamp uses them.
    void SetLayout(int width, int height, const PlacementMargins& margins) noexcept {
        width_ = width;
        height_ = height;
        margins_ = margins;
    }

    // Takes the primary screen size, as each show from hidden does.
    void ReadScreenSize();
    // Chooses and applies the position of a window about to be shown.
    void PlaceWindow();
    // Pulls (x, y) inside the margins; moves the window when it had to, or
    // when `force` is set.
    void ClampAndMove(int x, int y, bool force);

    // WM_WINDOWPOSCHANGED: publishes the new position of the visible window.
    void OnWindowPosChanged(const WINDOWPOS& pos);
    // WM_DISPLAYCHANGE with its lParam: the new size is remembered, and a
    // visible window is placed again for it.
    void OnDisplayChange(LPARAM lParam);
    // The end of a drag: the window is pulled back inside the margins only if
    // it ended outside them.
    void OnMoveEnded();

    [[nodiscard]] ScreenSize Screen() const noexcept { return screen_; }

  private:
    PlacementPort& window_;
    PositionStorePort& store_;
    int width_;
    int height_;
    PlacementMargins margins_;
    ScreenSize screen_;
};

}  // namespace lensbeacon::indicator
