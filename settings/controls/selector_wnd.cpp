#include "controls/selector_wnd.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <utility>

#include "controls/static_text_wnd.h"
#include "controls/switch_events.h"
#include "drawing/drawing.h"
#include "winframe/paint_dc.h"
#include "winframe/window_class.h"

namespace lensbeacon::settings {
namespace {

constexpr DWORD kSelectorStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;
static_assert(kSelectorStyle == 0x54010000);

}  // namespace

CSelectorWndEx2::CSelectorWndEx2() noexcept
    : AnimatedPortControl(kAnimationTimer, kAnimationPeriod),
      core_(*this, SystemMouseTrackingPort()) {}

CSelectorWndEx2::~CSelectorWndEx2() {
    // Destroyed here, while this class still handles its WM_DESTROY.
    CleanUp();
}

BOOL CSelectorWndEx2::CreateSelector(HWND parent, HDC parentBackground, int x, int y, int width,
                                     int height, int trackX, int trackY, float imageScale,
                                     int /*count*/, int initial) {
    if (Handle() != nullptr) {
        return FALSE;
    }
    const wchar_t* windowClass = winframe::RegisterWindowClassOnce(
        0, ::LoadCursorW(nullptr, IDC_ARROW), static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)),
        nullptr);
    if (windowClass == nullptr ||
        !CreateEx(0, windowClass, nullptr, kSelectorStyle, x, y, width, height, parent, nullptr)) {
        return FALSE;
    }
    background_ = parentBackground;
    x_ = ClampCoordinate(x);
    y_ = ClampCoordinate(y);
    layout_.width = std::max(ClampCoordinate(width), 0);
    layout_.height = std::max(ClampCoordinate(height), 0);
    const bool usable = std::isfinite(imageScale) && imageScale > 0.0f;
    const float scale = usable ? imageScale : g_scale;

    layout_.trackX = ClampCoordinate(trackX);
    layout_.trackY = ClampCoordinate(trackY);
    LoadImages(scale);
    layout_.count = 2;
    layout_.initial = initial;
    layout_.fadePictures = HasFadePictures();
    core_.SetWindow(Handle());
    core_.Setup(layout_);
    return TRUE;
}

void CSelectorWndEx2::CleanUp() {
    core_.Reset();
    StopTimer();
    ReleaseImages();
    windowDc_.reset();
    if (Handle() != nullptr) {
        DestroyWindow();
    }
    background_ = nullptr;
}

BOOL CSelectorWndEx2::SetPosition(int value, BOOL absolute, BOOL notify) {
    return core_.SetPosition(value, absolute, notify);
}

BOOL CSelectorWndEx2::EnableSelector(BOOL enable) {
    if (!core_.Created() || Handle() == nullptr) {
        return FALSE;
    }
    const bool wanted = enable != FALSE;
    if ((::IsWindowEnabled(Handle()) != FALSE) == wanted) {
        return FALSE;
    }
    if (!wanted) {
        core_.CancelInput();
    }
    ::EnableWindow(Handle(), wanted ? TRUE : FALSE);  // answers the previous state
    StateChanged();
    return TRUE;
}

void CSelectorWndEx2::Paint() {
    const winframe::PaintDc paint(Handle());
    // The paint DC only validates: the picture goes through the window DC.
    if (paint) {
        Show(paint.Area());
    }
}

void CSelectorWndEx2::OnAnimationTick() {
    core_.OnAnimationTimer();
}

void CSelectorWndEx2::OnControlDestroy() {
    core_.Reset();
    windowDc_.reset();
}

LRESULT CSelectorWndEx2::ControlProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnAccessMessage(message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // the back buffer covers every pixel
        case WM_MOUSEMOVE:
            core_.OnMouseMove(lParam, (wParam & MK_LBUTTON) != 0);
            break;
        case WM_LBUTTONDOWN:
            core_.OnLButtonDown(lParam);
            break;
        case WM_LBUTTONUP:
            core_.OnLButtonUp(lParam);
            break;
        case WM_MOUSELEAVE:
            core_.OnMouseLeave();
            break;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool CSelectorWndEx2::IsEnabled() {
    return ::IsWindowEnabled(Handle()) != FALSE;
}

DWORD CSelectorWndEx2::Now() {
    return ::GetTickCount();
}

void CSelectorWndEx2::Show(const RECT& area) {
    if (!windowDc_ || !*windowDc_ || !backBuffer_) {
        return;
    }
    // The focus rectangle is drawn inverted, so it goes over a whole fresh
    // copy of the control: part of it left from before would be erased.
    const bool focus = FocusShown();
    const RECT whole{0, 0, layout_.width, layout_.height};
    const RECT& shown = focus ? whole : area;
    ::BitBlt(windowDc_->get(), shown.left, shown.top, shown.right - shown.left,
             shown.bottom - shown.top, backBuffer_.get(), shown.left, shown.top, SRCCOPY);
    if (focus) {
        RECT ring = whole;
        ::InflateRect(&ring, -1, -1);
        ::DrawFocusRect(windowDc_->get(), &ring);
    }
}

void CSelectorWndEx2::PostPosition(int position) {
    HWND label = g_hTipLabel;
    if (label != nullptr) {
        // The label is optional; a label that is gone has nothing to show.
        static_cast<void>(::PostMessageW(label, WM_SWITCH_POSITION, 1, position));
    }
    StateChanged();
}

void CSelectorWndEx2::Publish(bool on) {
    // Without the service's events the change is shown but goes nowhere.
    static_cast<void>(SetSwitchEvents(on ? TRUE : FALSE));
}

}  // namespace lensbeacon::settings
