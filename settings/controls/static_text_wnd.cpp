#include "controls/static_text_wnd.h"

#include <dwrite.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>

#include "drawing/text_drawing.h"
#include "lensbeacon/localized_texts.h"
#include "winframe/paint_dc.h"
#include "winframe/window_class.h"

namespace lensbeacon::settings {

HWND g_hTipLabel = nullptr;

TextPatch TextPatchFromBounds(const D2D1_RECT_F& bounds, int width, int height) noexcept {
    const auto clampTo = [](float value, int limit) {
        if (!(value > 0.0f)) {  // also NaN
            return 0;
        }
        return value >= static_cast<float>(limit) ? limit : static_cast<int>(value);
    };
    const int left = clampTo(std::floor(bounds.left), width);
    const int top = clampTo(std::floor(bounds.top), height);
    const int right = clampTo(std::ceil(bounds.right), width);
    const int bottom = clampTo(std::ceil(bounds.bottom), height);
    return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

bool ShouldShowText(int index, int count, int shown) noexcept {
    return index >= 0 && index < count && index != shown;
}

CStaticTextWnd::CStaticTextWnd() noexcept : AnimatedControl(0, 0) {}

CStaticTextWnd::~CStaticTextWnd() {
    CleanUp();
    g_hTipLabel = nullptr;
}

BOOL CStaticTextWnd::CreateLabel(HWND parent, HDC background,
                                 const wchar_t* const texts[kTextCount], int x, int y, int width,
                                 int height, int initial) {
    const wchar_t* windowClass = winframe::RegisterWindowClassOnce(
        0, ::LoadCursorW(nullptr, IDC_ARROW), static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)),
        nullptr);
    if (windowClass == nullptr ||
        !CreateEx(0, windowClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, width,
                  height, parent, nullptr)) {
        return FALSE;
    }
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    background_ = background;
    for (int i = 0; i < kTextCount; ++i) {
        texts_[i] = texts[i] != nullptr ? texts[i] : L"";
    }
    BuildTexts(texts);
    ShowText(initial);
    g_hTipLabel = Handle();
    created_ = true;
    return TRUE;
}

void CStaticTextWnd::BuildTexts(const wchar_t* const texts[kTextCount]) {
    windowDc_.emplace(Handle());
    // Without the composed picture the label shows nothing (every use tests it).
    composed_ = CreateMemoryDC(width_, height_);
    if (composed_ && background_ != nullptr) {
        ::BitBlt(composed_.get(), 0, 0, width_, height_, background_, x_, y_, SRCCOPY);
    }
    count_ = kTextCount;

    const int language = g_languageOverride.load(std::memory_order_relaxed);
    TextStyle style;
    style.weight = 400;
    style.style = 0;
    style.stretch = 5;
    style.rightToLeft = IsRightToLeft(language) ? 1 : 0;
    SetTextStyle(&style, UsesMeiryo(language) ? kJapaneseFontFamily : kDefaultFontFamily, 13.0f);

    Microsoft::WRL::ComPtr<IDWriteTextFormat> format;
    if (FAILED(CreateTextFormatFor(&style, &format)) || !format || !composed_) {
        return;
    }
    const DWRITE_TRIMMING trimming{DWRITE_TRIMMING_GRANULARITY_CHARACTER, 0, 0};
    format->SetTrimming(&trimming, nullptr);
    format->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_CENTER);
    format->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
    if (style.rightToLeft != 0) {
        format->SetReadingDirection(DWRITE_READING_DIRECTION_RIGHT_TO_LEFT);
    }
    const D2D1_RECT_F box =
        D2D1::RectF(0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_));
    for (int i = 0; i < kTextCount; ++i) {
        const wchar_t* text = texts != nullptr && texts[i] != nullptr ? texts[i] : L"";
        // A text that could not be drawn has empty bounds: an empty patch.
        const D2D1_RECT_F bounds =
            DrawTextOnDC(composed_.get(), width_, height_, text, &style, format.Get(), box)
                .value_or(D2D1_RECT_F{});
        const TextPatch patch = TextPatchFromBounds(bounds, width_, height_);
        textRects_[i] = patch;
        textDcs_[i] = CreateMemoryDC(patch.width, patch.height);
        if (textDcs_[i]) {
            ::BitBlt(textDcs_[i].get(), 0, 0, patch.width, patch.height, composed_.get(), patch.x,
                     patch.y, SRCCOPY);
        }
        RestoreBackground(patch);
    }
}

void CStaticTextWnd::RestoreBackground(const TextPatch& patch) {
    if (!composed_ || background_ == nullptr) {
        return;
    }
    ::BitBlt(composed_.get(), patch.x, patch.y, patch.width, patch.height, background_,
             x_ + patch.x, y_ + patch.y, SRCCOPY);
}

bool CStaticTextWnd::ShowText(int index) {
    if (!ShouldShowText(index, count_, shown_)) {
        return false;
    }
    if (shown_ >= 0) {
        RestoreBackground(textRects_[shown_]);
    }
    const TextPatch& patch = textRects_[index];
    if (composed_ && textDcs_[index]) {
        ::BitBlt(composed_.get(), patch.x, patch.y, patch.width, patch.height,
                 textDcs_[index].get(), 0, 0, SRCCOPY);
    }
    shown_ = index;
    winframe::NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, Handle());
    return true;
}

winframe::AccessibleDescription CStaticTextWnd::Describe() {
    winframe::AccessibleDescription description;
    if (shown_ >= 0 && shown_ < kTextCount) {
        description.name = texts_[shown_];
    }
    description.role = ROLE_SYSTEM_STATICTEXT;
    description.state = STATE_SYSTEM_READONLY;
    return description;
}

void CStaticTextWnd::CleanUp() {
    for (auto& text : textDcs_) {
        text.reset();
    }
    composed_.reset();
    windowDc_.reset();
    if (Handle() != nullptr) {
        DestroyWindow();
    }
    count_ = 0;
    shown_ = -1;
    created_ = false;
}

void CStaticTextWnd::Paint() {
    const winframe::PaintDc paint(Handle());
    // The paint DC only validates: the picture goes through the window DC.
    if (paint && WindowPicture() != nullptr && composed_) {
        const RECT& r = paint.Area();
        ::BitBlt(WindowPicture(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                 composed_.get(), r.left, r.top, SRCCOPY);
    }
}

void CStaticTextWnd::OnControlDestroy() {
    if (g_hTipLabel == Handle()) {
        g_hTipLabel = nullptr;
    }
    windowDc_.reset();
}

LRESULT CStaticTextWnd::ControlProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SWITCH_POSITION:
            if (wParam == 1) {
                const LPARAM position = lParam;
                if (position >= 0 && position < count_ && ShowText(static_cast<int>(position)) &&
                    WindowPicture() != nullptr && composed_) {
                    ::BitBlt(WindowPicture(), 0, 0, width_, height_, composed_.get(), 0, 0,
                             SRCCOPY);
                }
            }
            break;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

}  // namespace lensbeacon::settings
