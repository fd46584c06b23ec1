// Where the four shadow strips of the settings dialog sit around it, and how
// the shadow follows the dialog's moves, sizes and showing: plain code over
// the dialog's rectangle and messages.
#pragma once

#include <windows.h>

#include <optional>

namespace lensbeacon::settings {

// The four strips, by index.
enum ShadowStrip : int { kStripLeft, kStripRight, kStripTop, kStripBottom, kShadowStripCount };

// The dialog corner a strip hangs from: bit 0 picks the right edge, bit 1
// the bottom edge.
enum StripAnchor : int {
    kAnchorTopLeft = 0,
    kAnchorTopRight = 1,
    kAnchorBottomLeft = 2,
    kAnchorBottomRight = 3
};

struct StripPlacement {
    int xOffset = 0;
    int yOffset = 0;
    int anchor = kAnchorTopLeft;
};

// The placement of strip `index` given the left strip's width and the top
// strip's height: the side strips run down the dialog's sides, the top and
// bottom strips start left of the left strip. Index outside 0..3: all zero.
StripPlacement StripPlacementFor(int index, int leftWidth, int topHeight) noexcept;

// The strip's top-left corner on the screen for the owner's window
// rectangle; none for an anchor outside 0..3.
[[nodiscard]] std::optional<POINT> StripPositionFrom(const RECT& owner,
                                                     const StripPlacement& placement) noexcept;

// Status flags of a shadow.
inline constexpr BYTE kShadowEnabled = 1;
inline constexpr BYTE kShadowShown = 2;
inline constexpr BYTE kShadowOwnerVisible = 4;

// The status a shadow starts with for its owner's style: enabled; visible and
// shown unless hidden, or visible but not shown while minimised or maximised.
BYTE ShadowStatusFromStyle(LONG style) noexcept;

// What the shadow does to its four strips.
class ShadowStripPort {
  public:
    virtual void ShowStrips() = 0;     // SW_SHOWNA each
    virtual void HideStrips() = 0;     // SW_HIDE each
    virtual void UpdateStrips() = 0;   // move, size and redraw each
    virtual void MoveStrips() = 0;     // move each, no size change, no redraw
    virtual void DestroyStrips() = 0;  // destroy the strip windows

  protected:
    ~ShadowStripPort() = default;
};

// How the shadow follows its owner's messages. Growing the owner defers the
// redraw of the strips to its next paint, when the new rectangle is in
// place; shrinking redraws them at once.
class ShadowFollower {
  public:
    BYTE Status() const noexcept { return status_; }
    void SetStatus(BYTE status) noexcept { status_ = status; }
    DWORD LastSize() const noexcept { return lastSize_; }
    bool UpdatePending() const noexcept { return updatePending_; }

    // Acts on one of the owner's messages before the owner sees it.
    void OnOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, ShadowStripPort& strips);

  private:
    void OnSize(WPARAM type, DWORD size, ShadowStripPort& strips);
    void OnShowWindow(bool showing, ShadowStripPort& strips);

    BYTE status_ = 0;
    DWORD lastSize_ = 0;
    bool updatePending_ = false;
};

}  // namespace lensbeacon::settings
