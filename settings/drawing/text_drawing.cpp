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

bool FillTextStyleFor(TextStyle* style, int kind, int language) noexcept {
    if (style == nullptr) {
        return false;
    }
    const wchar_t* family = UsesMeiryo(language) ? kJapaneseFontFamily : kDefaultFontFamily;
    if (IsRightToLeft(language)) {
        style->rightToLeft = 1;
    }
    float size = 0.0f;
    if (kind == kTextStyleSmall) {
        size = 12.0f;
    } else if (kind == kTextStyleBody) {
        size = 13.0f;
    } else {
        return false;
    }
    SetTextStyle(style, family, size);
    return true;
}

bool FillTextStyle(TextStyle* style, int kind) noexcept {
    return FillTextStyleFor(style, kind, g_languageOverride.load(std::memory_order_relaxed));
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

bool CreateTextLayoutFor(ComPtr<IDWriteTextLayout>* out, const wchar_t* text, float maxWidth,
                         float maxHeight, IDWriteTextFormat* format) noexcept {
    if (out == nullptr) {
        return false;
    }
    out->Reset();
    IDWriteFactory* factory = DrawingResources().writeFactory.Get();
    if (factory == nullptr || text == nullptr || format == nullptr) {
        return false;
    }
    if (FAILED(factory->CreateTextLayout(text, TextLength(text), format, maxWidth, maxHeight,
                                         out->ReleaseAndGetAddressOf()))) {
        out->Reset();
        return false;
    }
    return true;
}

void DrawTextInRect(ID2D1RenderTarget* target, const wchar_t* text, const TextStyle* style,
                    IDWriteTextFormat* format, const D2D1_RECT_F& layoutRect, D2D1_RECT_F* textRect,
                    bool measureOnly) noexcept {
    if (text == nullptr || style == nullptr || format == nullptr) {
        return;
    }
    if (!measureOnly && target != nullptr) {
        ComPtr<ID2D1SolidColorBrush> brush;
        const D2D1_COLOR_F colour{style->color[0], style->color[1], style->color[2],
                                  style->color[3]};
        if (SUCCEEDED(target->CreateSolidColorBrush(colour, &brush))) {
            target->DrawText(text, TextLength(text), format, layoutRect, brush.Get(),
                             D2D1_DRAW_TEXT_OPTIONS_NONE, DWRITE_MEASURING_MODE_NATURAL);
        }
    }
    if (textRect == nullptr) {
        return;
    }
    ComPtr<IDWriteTextLayout> layout;
    if (CreateTextLayoutFor(&layout, text, layoutRect.right - layoutRect.left,
                            layoutRect.bottom - layoutRect.top, format) == 0) {
        return;
    }
    DWRITE_TEXT_METRICS metrics{};
    if (FAILED(layout->GetMetrics(&metrics))) {
        return;
    }
    textRect->left = layoutRect.left + metrics.left;
    textRect->top = layoutRect.top + metrics.top;
    textRect->right = textRect->left + metrics.width;
    textRect->bottom = textRect->top + metrics.height;
}

bool DrawTextOnDC(HDC dc, int width, int height, const wchar_t* text, const TextStyle* style,
                  IDWriteTextFormat* format, const D2D1_RECT_F& layoutRect,
                  D2D1_RECT_F* textRect) noexcept {
    if (dc == nullptr) {
        return false;
    }
    ComPtr<ID2D1DCRenderTarget> target;
    if (FAILED(CreateDCRenderTarget(&target))) {
        return false;
    }
    const RECT bounds{0, 0, width, height};
    if (FAILED(target->BindDC(dc, &bounds))) {
        return false;
    }
    target->BeginDraw();
    const HRESULT underlay = DrawDcUnderlay(target.Get(), dc, width, height);
    DrawTextInRect(target.Get(), text, style, format, layoutRect, textRect, false);
    const HRESULT drawn = target->EndDraw();
    return SUCCEEDED(underlay) && SUCCEEDED(drawn) ? 1 : 0;
}

}  // namespace lensbeacon::settings
