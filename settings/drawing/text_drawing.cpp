#include "drawing/text_drawing.h"

#include <cwchar>

#include "drawing/drawing_resources.h"
#include "drawing/image_routines.h"
#include "drawing/scale.h"
#include "lensbeacon/localized_texts.h"

using Microsoft::WRL::ComPtr;

namespace lensbeacon::settings {

namespace {

// The locale name buffer the settings program reads the user's locale into.
constexpr int kLocaleNameCapacity = 85;

UINT32 TextLength(const wchar_t* text) noexcept {
    return static_cast<UINT32>(std::wcslen(text));
}

}  // namespace

void SetTextStyle(TextStyle* style, const wchar_t* family, float size) noexcept {
    if (style == nullptr) {
        return;
    }
    // Bounded copy: a longer name is cut at the record's capacity.
    std::size_t length = 0;
    if (family != nullptr) {
        length = std::wcslen(family);
        if (length > kTextFamilyCapacity - 1) {
            length = kTextFamilyCapacity - 1;
        }
        std::wmemcpy(style->family, family, length);
    }
    style->family[length] = L'\0';
    style->size = g_fontScale * size;
    style->weight = 400;
    style->color[0] = 0.4f;
    style->color[1] = 0.4f;
    style->color[2] = 0.4f;
    style->color[3] = 1.0f;
}

std::optional<TextStyle> FillTextStyleFor(int kind, int language) noexcept {
    float size = 0.0f;
    if (kind == kTextStyleSmall) {
        size = 12.0f;
    } else if (kind == kTextStyleBody) {
        size = 13.0f;
    } else {
        return std::nullopt;
    }
    TextStyle style;
    style.rightToLeft = IsRightToLeft(language) ? 1 : 0;
    SetTextStyle(&style, UsesMeiryo(language) ? kJapaneseFontFamily : kDefaultFontFamily, size);
    return style;
}

std::optional<TextStyle> FillTextStyle(int kind) noexcept {
    return FillTextStyleFor(kind, g_languageOverride.load(std::memory_order_relaxed));
}

HRESULT CreateTextFormatFor(const TextStyle* style, ComPtr<IDWriteTextFormat>* out) noexcept {
    if (out == nullptr || style == nullptr) {
        return E_POINTER;
    }
    out->Reset();
    IDWriteFactory* factory = DrawingResources().writeFactory.Get();
    if (factory == nullptr) {
        return E_FAIL;
    }
    wchar_t locale[kLocaleNameCapacity] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SNAME, locale, kLocaleNameCapacity) == 0) {
        locale[0] = L'\0';
    }
    ComPtr<IDWriteTextFormat> format;
    HRESULT hr = factory->CreateTextFormat(
        style->family, nullptr, static_cast<DWRITE_FONT_WEIGHT>(style->weight),
        static_cast<DWRITE_FONT_STYLE>(style->style),
        static_cast<DWRITE_FONT_STRETCH>(style->stretch), style->size, locale, &format);
    if (SUCCEEDED(hr) && style->rightToLeft != 0) {
        hr = format->SetReadingDirection(DWRITE_READING_DIRECTION_RIGHT_TO_LEFT);
    }
    if (SUCCEEDED(hr)) {
        *out = format;
    }
    return hr;
}

ComPtr<IDWriteTextLayout> CreateTextLayoutFor(const wchar_t* text, float maxWidth, float maxHeight,
                                              IDWriteTextFormat* format) noexcept {
    IDWriteFactory* factory = DrawingResources().writeFactory.Get();
    if (factory == nullptr || text == nullptr || format == nullptr) {
        return nullptr;
    }
    ComPtr<IDWriteTextLayout> layout;
    if (FAILED(factory->CreateTextLayout(text, TextLength(text), format, maxWidth, maxHeight,
                                         &layout))) {
        return nullptr;
    }
    return layout;
}

void DrawTextInRect(ID2D1RenderTarget* target, const wchar_t* text, const TextStyle* style,
                    IDWriteTextFormat* format, const D2D1_RECT_F& layoutRect) noexcept {
    if (target == nullptr || text == nullptr || style == nullptr || format == nullptr) {
        return;
    }
    ComPtr<ID2D1SolidColorBrush> brush;
    const D2D1_COLOR_F colour{style->color[0], style->color[1], style->color[2], style->color[3]};
    if (SUCCEEDED(target->CreateSolidColorBrush(colour, &brush))) {
        target->DrawText(text, TextLength(text), format, layoutRect, brush.Get(),
                         D2D1_DRAW_TEXT_OPTIONS_NONE, DWRITE_MEASURING_MODE_NATURAL);
    }
}

std::optional<D2D1_RECT_F> MeasureTextInRect(const wchar_t* text, const TextStyle* style,
                                             IDWriteTextFormat* format,
                                             const D2D1_RECT_F& layoutRect) noexcept {
    if (text == nullptr || style == nullptr || format == nullptr) {
        return std::nullopt;
    }
    const ComPtr<IDWriteTextLayout> layout = CreateTextLayoutFor(
        text, layoutRect.right - layoutRect.left, layoutRect.bottom - layoutRect.top, format);
    DWRITE_TEXT_METRICS metrics{};
    if (!layout || FAILED(layout->GetMetrics(&metrics))) {
        return std::nullopt;
    }
    D2D1_RECT_F bounds{};
    bounds.left = layoutRect.left + metrics.left;
    bounds.top = layoutRect.top + metrics.top;
    bounds.right = bounds.left + metrics.width;
    bounds.bottom = bounds.top + metrics.height;
    return bounds;
}

std::optional<D2D1_RECT_F> DrawTextOnDC(HDC dc, int width, int height, const wchar_t* text,
                                        const TextStyle* style, IDWriteTextFormat* format,
                                        const D2D1_RECT_F& layoutRect) noexcept {
    if (dc == nullptr) {
        return std::nullopt;
    }
    ComPtr<ID2D1DCRenderTarget> target;
    if (FAILED(CreateDCRenderTarget(&target))) {
        return std::nullopt;
    }
    const RECT bounds{0, 0, width, height};
    if (FAILED(target->BindDC(dc, &bounds))) {
        return std::nullopt;
    }
    target->BeginDraw();
    const HRESULT underlay = DrawDcUnderlay(target.Get(), dc, width, height);
    DrawTextInRect(target.Get(), text, style, format, layoutRect);
    const HRESULT drawn = target->EndDraw();
    if (FAILED(underlay) || FAILED(drawn)) {
        return std::nullopt;
    }
    return MeasureTextInRect(text, style, format, layoutRect);
}

}  // namespace lensbeacon::settings
