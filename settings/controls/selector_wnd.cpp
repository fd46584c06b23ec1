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
#include "winframe/window_class.h"

namespace lensbeacon::settings {
namespace {

constexpr DWORD kSelectorStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;
static_assert(kSelectorStyle == 0x54010000);

// The pixel size of a decoded image, kept within the coordinate range; false
// when it cannot be read or is empty.
bool ImageSize(IWICBitmapSource* image, int* width, int* height) {
    UINT w = 0;
    UINT h = 0;
    if (image == nullptr || FAILED(image->GetSize(&w, &h)) || w == 0 || h == 0) {
        return false;
    }
    *width = ClampCoordinate(static_cast<int>(std::min<UINT>(w, 32767u)));
    *height = ClampCoordinate(static_cast<int>(std::min<UINT>(h, 32767u)));
    return true;
}

}  // namespace

HDC CSelectorWndEx2::TrackPictures::At(int row, int state) const noexcept {
    if (row < 0 || row > 1 || state < 0 || state > 2) {
        return nullptr;
    }
    return slots_[static_cast<std::size_t>(row)][static_cast<std::size_t>(state)];
}

void CSelectorWndEx2::TrackPictures::Release() noexcept {
    std::array<HDC, 6> all{};
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = std::exchange(slots_[i / 3][i % 3], nullptr);
    }
    ReleaseDistinctHandles(std::span<HDC>(all), DeleteMemoryDC);
}

CSelectorWndEx2::CSelectorWndEx2() noexcept : core_(*this) {}

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
    width_ = std::max(ClampCoordinate(width), 0);
    height_ = std::max(ClampCoordinate(height), 0);
    const bool usable = std::isfinite(imageScale) && imageScale > 0.0f;
    const float scale = usable ? imageScale : g_scale;

    trackX_ = ClampCoordinate(trackX);
    trackY_ = ClampCoordinate(trackY);
    LoadImages(scale);
    SelectorLayout layout;
    layout.width = width_;
    layout.height = height_;
    layout.trackX = trackX_;
    layout.trackY = trackY_;
    layout.trackWidth = trackWidth_;
    layout.trackHeight = trackHeight_;
    layout.knobWidth = knobWidth_;
    layout.knobHeight = knobHeight_;
    layout.count = 2;
    layout.initial = initial;
    layout.fadePictures = HasFadePictures();
    core_.SetWindow(Handle());
    core_.Setup(layout);
    return TRUE;
}

void CSelectorWndEx2::LoadImages(float scale) {
    windowDc_.emplace(Handle());
    CreateMemoryDC(width_, height_, &backBuffer_);

    // The track is composed over the part of the background it covers.
    using Microsoft::WRL::ComPtr;
    ComPtr<IWICBitmap> trackImage;
    if (SUCCEEDED(LoadImageBitmap(kImageSliderTrackNormal, scale, kLoadScaled, &trackImage)) &&
        ImageSize(trackImage.Get(), &trackWidth_, &trackHeight_)) {
        MemoryDc normal;
        ComposeImageOverBackground(trackImage.Get(), background_, x_ + trackX_, y_ + trackY_,
                                   &normal);
        track_.Slots()[0][kSelectorNormal] = normal.release();
        MemoryDc pressed;
        LoadImageOverBackground(kImageSliderTrackDown, scale, &pressed, background_, x_ + trackX_,
                                y_ + trackY_);
        track_.Slots()[0][kSelectorPressed] = pressed.release();
    }
    if (track_.At(0, kSelectorNormal) == nullptr) {
        // No picture of the normal look: the track keeps size and place 0
        // and nothing of it is drawn.
        track_.Release();
        trackX_ = trackY_ = trackWidth_ = trackHeight_ = 0;
    }

    ComPtr<IWICBitmap> knobImage;
    if (SUCCEEDED(LoadImageBitmap(kImageSliderKnob, scale, kLoadScaled, &knobImage)) &&
        ImageSize(knobImage.Get(), &knobWidth_, &knobHeight_) &&
        BitmapToMemoryDC(knobImage.Get(), &knob_) == 0) {
        knobWidth_ = knobHeight_ = 0;
    }

    ShareMissingTrackHandles(track_.Slots());
    MakeFadePictures();
}

void CSelectorWndEx2::MakeFadePictures() {
    const auto& row = track_.Slots()[0];
    if (row[0] == row[1] && row[1] == row[2]) {
        return;  // one look only: changes show at once
    }
    for (auto& pictures : fade_) {
        for (auto& picture : pictures) {
            if (CreateMemoryDC(trackWidth_, trackHeight_, &picture) == 0) {
                // A fade with missing pictures would show garbage: no fade.
                for (auto& all : fade_) {
                    for (auto& one : all) {
                        one.reset();
                    }
                }
                return;
            }
        }
    }
}

void CSelectorWndEx2::ReleaseImages() noexcept {
    track_.Release();
    for (auto& pictures : fade_) {
        for (auto& picture : pictures) {
            picture.reset();
        }
    }
    knob_.reset();
    backBuffer_.reset();
    trackX_ = trackY_ = trackWidth_ = trackHeight_ = 0;
    knobWidth_ = knobHeight_ = 0;
}

void CSelectorWndEx2::CleanUp() {
    core_.Reset();
    if (Handle() != nullptr) {
        ::KillTimer(Handle(), kAnimationTimer);
    }
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
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Handle(), &paint);
    // The paint DC only validates: the picture goes through the window DC.
    if (dc != nullptr) {
        Show(paint.rcPaint);
    }
    ::EndPaint(Handle(), &paint);
}

LRESULT CSelectorWndEx2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
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
        case WM_TIMER:
            if (wParam == kAnimationTimer) {
                core_.OnAnimationTimer();
            }
            break;
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
        case WM_DESTROY:
            core_.Reset();
            ::KillTimer(Handle(), kAnimationTimer);
            windowDc_.reset();
            break;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool CSelectorWndEx2::IsVisible() {
    return ::IsWindowVisible(Handle()) != FALSE;
}

bool CSelectorWndEx2::IsEnabled() {
    return ::IsWindowEnabled(Handle()) != FALSE;
}

bool CSelectorWndEx2::StartAnimationTimer() {
    return ::SetTimer(Handle(), kAnimationTimer, kAnimationPeriod, nullptr) != 0;
}

void CSelectorWndEx2::StopAnimationTimer() {
    ::KillTimer(Handle(), kAnimationTimer);
}

DWORD CSelectorWndEx2::Now() {
    return ::GetTickCount();
}

void CSelectorWndEx2::LoadFadeTarget(int state) {
    for (int row = 0; row < 2; ++row) {
        HDC to = fade_[row][kTo].get();
        HDC source = track_.At(row, state);
        if (to != nullptr && source != nullptr) {
            ::BitBlt(to, 0, 0, trackWidth_, trackHeight_, source, 0, 0, SRCCOPY);
        }
    }
}

void CSelectorWndEx2::KeepShownTrack() {
    for (auto& row : fade_) {
        if (row[kFrom] && row[kBlended]) {
            ::BitBlt(row[kFrom].get(), 0, 0, trackWidth_, trackHeight_, row[kBlended].get(), 0, 0,
                     SRCCOPY);
        }
    }
}

void CSelectorWndEx2::DrawTrack(const TrackDrawing& drawing) {
    if (!backBuffer_) {
        return;
    }
    HDC back = backBuffer_.get();
    if (drawing.refreshBackground && background_ != nullptr) {
        ::BitBlt(back, 0, 0, width_, height_, background_, x_, y_, SRCCOPY);
    }
    if (trackWidth_ <= 0 || trackHeight_ <= 0) {
        return;
    }
    const bool fading = HasFadePictures();
    const BYTE alpha = static_cast<BYTE>(std::clamp(drawing.alpha, 0, 255));
    HDC sources[2] = {nullptr, nullptr};
    for (int row = 0; row < 2; ++row) {
        HDC blended = fade_[row][kBlended].get();
        if (drawing.blend && fading) {
            BlendOverlay(fade_[row][kFrom].get(), alpha, trackHeight_, trackWidth_, blended,
                         fade_[row][kTo].get());
            sources[row] = blended;
            continue;
        }
        sources[row] = track_.At(row, drawing.state);
        if (fading && sources[row] != nullptr) {
            // What the screen is about to show, for the next fade to start from.
            ::BitBlt(blended, 0, 0, trackWidth_, trackHeight_, sources[row], 0, 0, SRCCOPY);
        }
    }
    const int split = std::clamp(drawing.split, 0, trackWidth_);
    if (sources[0] != nullptr) {
        ::BitBlt(back, trackX_ + split, trackY_, trackWidth_ - split, trackHeight_, sources[0],
                 split, 0, SRCCOPY);
    }
    if (sources[1] != nullptr) {
        ::BitBlt(back, trackX_, trackY_, split, trackHeight_, sources[1], 0, 0, SRCCOPY);
    }
}

void CSelectorWndEx2::DrawKnob(int x, int y) {
    if (!backBuffer_ || !knob_ || knobWidth_ <= 0 || knobHeight_ <= 0) {
        return;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(backBuffer_.get(), x, y, knobWidth_, knobHeight_, knob_.get(), 0, 0, knobWidth_,
                 knobHeight_, blend);
}

void CSelectorWndEx2::Show(const RECT& area) {
    if (!windowDc_ || !*windowDc_ || !backBuffer_) {
        return;
    }
    // The focus rectangle is drawn inverted, so it goes over a whole fresh
    // copy of the control: part of it left from before would be erased.
    const bool focus = FocusShown();
    const RECT whole{0, 0, width_, height_};
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
