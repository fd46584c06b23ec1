#include "osd_window_core.h"

#include <algorithm>
#include <iterator>

#include "lparam_words.h"

namespace lensbeacon::indicator {
namespace {

// The close button beside the glyph, and the glyph square.
constexpr HitRect kHitRects[] = {
    {94.0f, 0.0f, 34.0f, 34.0f},
    {34.0f, 0.0f, 60.0f, 60.0f},
};

// While the window is being dragged it is drawn at 7/10 of its opacity.
constexpr int kMovingAlphaNumerator = 7;
constexpr int kMovingAlphaDenominator = 10;

}  // namespace

OsdWindowCore::OsdWindowCore(OsdWindowPort& window, IndicatorState& state, PositionStorePort& store)
    : window_(window),
      state_(state),
      placement_(window, store, kOsdWidth, kOsdHeight),
      mouse_(window, kOsdWidth, kOsdHeight),
      drag_(window, state, *this) {
    drag_.SetWindowSize(kOsdWidth, kOsdHeight);
    mouse_.SetHitRects(kHitRects, std::size(kHitRects));
}

void OsdWindowCore::Update(OsdAction action, BOOL pressed) {
    // A show while shown, or a hide while hidden or fading out, changes
    // nothing at all: the listener and the session-change handling may both
    // ask for the same show when a camera event and an unlock cross, and a
    // second show must not restart the wait for the logon screen.
    if ((action == OsdAction::Show && showState_ == ShowState::Shown) ||
        (action == OsdAction::Hide && showState_ != ShowState::Shown)) {
        return;
    }
    state_.lastPressed = pressed;
    switch (action) {
        case OsdAction::Show:
            if (showState_ == ShowState::Hidden) {
                // Drawn for the monitor it shows on, as it is now.
                ApplyDpi(window_.WindowDpi());
                if (window_.LoadImages() && RenderFrame(pressed)) {
                    placement_.ReadScreenSize();
                    placement_.PlaceWindow();
                    alpha_ = 255;
                    showState_ = ShowState::Shown;
                    Compose();
                }
            } else if (showState_ == ShowState::FadingOut) {
                // Back to full opacity with the bitmap as it is.
                window_.KillTimer(kFadeTimer);
                alpha_ = 255;
                showState_ = ShowState::Shown;
                Compose();
            }
            break;
        case OsdAction::Hide:
            if (showState_ == ShowState::Shown) {
                window_.SetTimer(kFadeTimer, kFadeMs);
                showState_ = ShowState::FadingOut;
            }
            break;
        case OsdAction::FadeStep:
            if (showState_ == ShowState::FadingOut) {
                alpha_ = std::max(alpha_ - kFadeStepAlpha, 0);
                if (alpha_ > 0) {
                    Compose();
                }
            }
            break;
        case OsdAction::Redraw:
            if (showState_ == ShowState::Shown && window_.LoadImages() && RenderFrame(pressed)) {
                Compose();
            }
            break;
    }
    RunTail();
}

void OsdWindowCore::ApplyDpi(int dpi) {
    layout_ = LayoutForDpi(dpi);
    placement_.SetLayout(layout_.width, layout_.height, layout_.margins);
    const HitRect rects[] = {layout_.closeHit, layout_.glyphHit};
    static_cast<void>(mouse_.Rescale(layout_.width, layout_.height, rects, std::size(rects)));
    drag_.SetWindowSize(layout_.width, layout_.height);
    drag_.SetThreshold(layout_.dragThreshold);
    window_.UseLayout(layout_);
}

void OsdWindowCore::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const int from = layout_.dpi;
    ApplyDpi(DpiOfChange(wParam));
    drag_.ScaleGrab(from, layout_.dpi);
    if (showState_ == ShowState::Hidden) {
        return;  // the next show reads the scale again
    }
    // The images of the old scale go; the bitmap is made again at the new
    // size, and the window takes the place the system suggests, which keeps
    // it on the monitor it was moved to.
    window_.FreeBitmapAndImages();
    if (window_.LoadImages() && RenderFrame(state_.lastPressed)) {
        Compose();
    }
    if (lParam != 0) {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        window_.MoveTopmost(suggested.left, suggested.top, layout_.width, layout_.height);
    }
}

bool OsdWindowCore::RenderFrame(BOOL pressed) {
    OsdFrame frame;
    frame.caption = state_.captionShown != FALSE;
    frame.closeButton = state_.closeButtonShown != FALSE;
    if (pressed) {
        frame.button = ButtonImage::Pressed;
    } else if (mouse_.Hover() == kCloseButtonHit) {
        frame.button = ButtonImage::Hover;
    } else {
        frame.button = ButtonImage::Normal;
    }
    return window_.Render(frame);
}

void OsdWindowCore::Compose() {
    int alpha = alpha_;
    if (state_.moveInProgress) {
        alpha = alpha * kMovingAlphaNumerator / kMovingAlphaDenominator;
    }
    window_.Compose(static_cast<BYTE>(alpha));
}

void OsdWindowCore::RunTail() {
    if (showState_ == ShowState::Shown && !window_.IsVisible()) {
        if (state_.ordinaryDesktop.load(std::memory_order_relaxed) != FALSE ||
            window_.IsLogonUIReady()) {
            ShowNow();
        } else {
            shownTick_ = window_.TickCount();
            window_.SetTimer(kLogonWaitTimer, kLogonWaitMs);
        }
    }
    if (showState_ == ShowState::FadingOut && alpha_ == 0) {
        window_.Hide();
        window_.KillTimer(kCaptionTimer);
        // The next appearance starts with the caption again.
        state_.captionShown = TRUE;
        window_.KillTimer(kFadeTimer);
        showState_ = ShowState::Hidden;
    }
}

void OsdWindowCore::ShowNow() {
    window_.ShowWithoutActivation();
    window_.SetTimer(kCaptionTimer, kCaptionMs);
}

void OsdWindowCore::OnTimer(UINT_PTR id) {
    switch (id) {
        case kLogonWaitTimer:
            // Unsigned difference: right across the tick counter's wrap.
            if (!window_.IsLogonUIReady() &&
                window_.TickCount() - shownTick_ <= kLogonWaitLimitMs) {
                return;
            }
            window_.KillTimer(kLogonWaitTimer);
            if (showState_ == ShowState::Shown) {
                ShowNow();
            }
            break;
        case kFadeTimer:
            Update(OsdAction::FadeStep, FALSE);
            break;
        case kCaptionTimer:
            window_.KillTimer(kCaptionTimer);
            state_.captionShown = FALSE;
            Update(OsdAction::Redraw, state_.lastPressed);
            break;
        case kPointerCheckTimer:
            if (mouse_.CheckPointerGone()) {
                Update(OsdAction::Redraw, FALSE);
            }
            break;
        case kDragTimer:
            drag_.OnTimer();
            break;
        case kCloseButtonTimer:
            window_.KillTimer(kCloseButtonTimer);
            if (state_.closeButtonShown && mouse_.Hover() == kNoHit) {
                state_.closeButtonShown = FALSE;
                Update(OsdAction::Redraw, FALSE);
            }
            break;
        default:
            break;
    }
}

bool OsdWindowCore::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_DESTROY:
        case WM_CLOSE:
            // Nobody closes the indicator while the program runs.
            if (!destroying_) {
                result = 0;
                return true;
            }
            return false;
        case WM_ERASEBKGND:
            result = 0;
            return true;
        case WM_MOUSEACTIVATE:
            // A click on the glyph or the close button leaves the keyboard
            // with the program in front (a video call, say).
            result = MA_NOACTIVATE;
            return true;
        case WM_WINDOWPOSCHANGED:
            if (lParam != 0) {
                placement_.OnWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
            }
            return false;
        case WM_DPICHANGED:
            OnDpiChanged(wParam, lParam);
            result = 0;
            return true;
        case WM_DISPLAYCHANGE:
            placement_.OnDisplayChange(lParam);
            return false;
        case WM_MOUSEMOVE:
            OnPointerMove(wParam, lParam);
            return false;
        case WM_LBUTTONDOWN:
            // The press is where the message says it is, whatever the hover
            // state last heard: a leave the system reported wrongly (another
            // window of the program under the pointer for a moment) must not
            // lose a click.
            state_.dragStarted = FALSE;
            mouse_.PressAt(SignedLowWord(lParam), SignedHighWord(lParam));
            if (mouse_.Pressed() == kCloseButtonHit) {
                Update(OsdAction::Redraw, TRUE);
            } else if (mouse_.Pressed() == kGlyphHit) {
                drag_.WatchForDrag(SignedLowWord(lParam), SignedHighWord(lParam));
            }
            return false;
        case WM_LBUTTONUP:
            OnLeftButtonUp(SignedLowWord(lParam), SignedHighWord(lParam));
            return false;
        case WM_MOUSELEAVE:
            OnPointerLeave();
            return false;
        case WM_OSD_SHOWHIDE:
            // A show is only ever posted while the camera is on. One found
            // with the camera off is stale: it crossed the camera's Off (and
            // its hide) on the way, and would leave the indicator up.
            if (lParam == kOsdShow && state_.cameraOn.load() != 0) {
                Update(OsdAction::Show, FALSE);
            } else if (lParam == kOsdHide) {
                Update(OsdAction::Hide, FALSE);
            }
            return false;
        default:
            return false;
    }
}

void OsdWindowCore::OnPointerMove(WPARAM wParam, LPARAM lParam) {
    const BOOL left = (wParam & MK_LBUTTON) != 0 ? TRUE : FALSE;
    const int x = SignedLowWord(lParam);
    const int y = SignedHighWord(lParam);
    const HoverChange change = mouse_.OnPointerMove(x, y);
    if (change.changed) {
        if (change.oldHover != kCloseButtonHit && change.newHover != kCloseButtonHit) {
            // The close button appears when the pointer first reaches the glyph.
            if (change.newHover == kGlyphHit && !state_.closeButtonShown) {
                state_.closeButtonShown = TRUE;
                Update(OsdAction::Redraw, left);
            }
        } else {
            // Entering or leaving the close button changes its image.
            Update(OsdAction::Redraw, left);
        }
    }
    if (state_.moveInProgress) {
        drag_.Follow();
        return;
    }
    if (change.newHover == kGlyphHit && left && !state_.dragStarted) {
        drag_.OnMoveWithButton(x, y);
    }
}

void OsdWindowCore::OnDragBegun() {
    Update(OsdAction::Redraw, FALSE);
}

void OsdWindowCore::OnDragEnded() {
    Update(OsdAction::Redraw, FALSE);
    placement_.OnMoveEnded();
}

void OsdWindowCore::OnLeftButtonUp(int x, int y) {
    drag_.EndAt(x, y);
    state_.dragStarted = FALSE;
    // A click: pressed and let go on the close button, by the messages' own
    // points.
    const int pressedOn = mouse_.Release();
    if (pressedOn == kCloseButtonHit && mouse_.HitTest(x, y) == kCloseButtonHit) {
        // A click on the close button: fade out until the camera comes on again.
        Update(OsdAction::Redraw, FALSE);
        window_.PostToSelf(WM_OSD_SHOWHIDE, reinterpret_cast<WPARAM>(window_.Handle()), kOsdHide);
    }
}

void OsdWindowCore::OnPointerLeave() {
    state_.dragStarted = FALSE;
    const HoverChange change = mouse_.OnPointerLeave();
    if (change.changed && change.oldHover == kCloseButtonHit) {
        Update(OsdAction::Redraw, FALSE);
    }
}

}  // namespace lensbeacon::indicator
