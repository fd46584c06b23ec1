// The indicator window's behaviour without the window: the show, fade and
// redraw state table, its timers, the close button and the drag (the window
// follows the pointer itself, never activated) from the pointer messages,
// the refusal to close, and placement. The window class forwards its
// messages here and carries out what the core asks of it through
// OsdWindowPort.
//
// Wiring: WindowProc calls HandleMessage first and returns `result` when it
// answers true; otherwise the message goes on to default processing. WM_TIMER
// is not handled there: the window's timer handler calls OnTimer and then
// default processing.
#pragma once

#include <windows.h>

#include "drag_following.h"
#include "indicator_state.h"
#include "mouse_event_ctrl.h"
#include "osd_layout.h"
#include "osd_window_port.h"
#include "position_store_port.h"
#include "window_placement.h"

namespace lensbeacon::indicator {

enum class OsdAction { Hide = 0, Show = 1, FadeStep = 2, Redraw = 3 };
enum class ShowState { Hidden = 0, Shown = 1, FadingOut = 2 };

// The window's size at 96 dpi; osd_layout.h scales it with the display.
inline constexpr int kOsdWidth = 128;
inline constexpr int kOsdHeight = 75;

// Hit rectangles of the window, by index.
inline constexpr int kCloseButtonHit = 0;
inline constexpr int kGlyphHit = 1;

inline constexpr UINT_PTR kLogonWaitTimer = 1;  // a show waiting for the logon screen
inline constexpr UINT kLogonWaitMs = 50;
inline constexpr DWORD kLogonWaitLimitMs = 2000;
inline constexpr UINT_PTR kFadeTimer = 2;
inline constexpr UINT kFadeMs = 41;
inline constexpr int kFadeStepAlpha = 75;
inline constexpr UINT_PTR kCaptionTimer = 3;  // the caption goes after this
inline constexpr UINT kCaptionMs = 2000;

class OsdWindowCore : private DragEvents {
  public:
    // `window` is the real window (or a fake), `state` the process-wide
    // flags, `store` the position store (bound or not).
    OsdWindowCore(OsdWindowPort& window, IndicatorState& state, PositionStorePort& store);

    // The state table; every action ends with the tail that shows a window
    // that became Shown and hides one whose fade has ended.
    void Update(OsdAction action, BOOL pressed);

    // True when the message is answered with `result` and must not go on to
    // default processing.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnTimer(UINT_PTR id);

    // From here on WM_CLOSE and WM_DESTROY take their default course.
    void BeginDestroy() noexcept { destroying_ = TRUE; }

    ShowState State() const noexcept { return showState_; }
    int Alpha() const noexcept { return alpha_; }
    const CMouseEventCtrl2& Mouse() const noexcept { return mouse_; }
    WindowPlacement& Placement() noexcept { return placement_; }
    const OsdLayout& Layout() const noexcept { return layout_; }

  private:
    // Every part of the window takes the layout at `dpi`.
    void ApplyDpi(int dpi);
    // WM_DPICHANGED: drawn again at the new scale, at the suggested place.
    void OnDpiChanged(WPARAM wParam, LPARAM lParam);
    bool RenderFrame(BOOL pressed);
    void Compose();
    void RunTail();
    void ShowNow();
    void OnPointerMove(WPARAM wParam, LPARAM lParam);
    void OnLeftButtonUp(int x, int y);
    void OnPointerLeave();
    // DragEvents
    void OnDragBegun() override;
    void OnDragEnded() override;

    OsdWindowPort& window_;
    IndicatorState& state_;
    OsdLayout layout_;
    WindowPlacement placement_;
    CMouseEventCtrl2 mouse_;
    DragFollowing drag_;
    BOOL destroying_ = FALSE;
    ShowState showState_ = ShowState::Hidden;
    int alpha_ = 255;
    DWORD shownTick_ = 0;
};

}  // namespace lensbeacon::indicator
