#include "text_renderer.h"

#include "gdi_text_renderer.h"

#include <wrl/client.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cwchar>

namespace lensbeacon::indicator {
namespace {

using Microsoft::WRL::ComPtr;

// Locale names are at most this long, terminator included.
constexpr int kLocaleNameCapacity = 85;
constexpr COLORREF kTextColour = RGB(255, 255, 255);

struct TextSlot {
    ComPtr<IDWriteBitmapRenderTarget> target;
    ComPtr<IDWriteRenderingParams> params;
    ComPtr<GdiTextRenderer> renderer;
};

// Everything the module keeps between calls; used by the user-interface
// thread only.
struct TextModule {
    ComPtr<IDWriteFactory> factory;
    ComPtr<IDWriteGdiInterop> interop;
    wchar_t locale[kLocaleNameCapacity] = {};
    std::array<TextSlot, kTextSlotCount> slots;
};

TextModule& Module() {
    static TextModule module;
    return module;
}

bool IsSlotNumber(int slot) {
    return slot >= 0 && slot < kTextSlotCount;
}

struct Alignment {
    DWRITE_TEXT_ALIGNMENT text;
    DWRITE_PARAGRAPH_ALIGNMENT paragraph;
};

// Indexed by the TextAlignment codes.
constexpr std::array<Alignment, 9> kAlignments = {{
    {DWRITE_TEXT_ALIGNMENT_LEADING, DWRITE_PARAGRAPH_ALIGNMENT_NEAR},
    {DWRITE_TEXT_ALIGNMENT_CENTER, DWRITE_PARAGRAPH_ALIGNMENT_NEAR},
    {DWRITE_TEXT_ALIGNMENT_TRAILING, DWRITE_PARAGRAPH_ALIGNMENT_NEAR},
    {DWRITE_TEXT_ALIGNMENT_LEADING, DWRITE_PARAGRAPH_ALIGNMENT_CENTER},
    {DWRITE_TEXT_ALIGNMENT_CENTER, DWRITE_PARAGRAPH_ALIGNMENT_CENTER},
    {DWRITE_TEXT_ALIGNMENT_TRAILING, DWRITE_PARAGRAPH_ALIGNMENT_CENTER},
    {DWRITE_TEXT_ALIGNMENT_LEADING, DWRITE_PARAGRAPH_ALIGNMENT_FAR},
    {DWRITE_TEXT_ALIGNMENT_CENTER, DWRITE_PARAGRAPH_ALIGNMENT_FAR},
    {DWRITE_TEXT_ALIGNMENT_TRAILING, DWRITE_PARAGRAPH_ALIGNMENT_FAR},
}};

// Trims lines that do not fit at a character boundary, keeping whatever
// trimming sign the format has. A format whose trimming cannot be read is
// left as it is; one that refuses the new trimming is not used.
bool TrimAtCharacters(IDWriteTextFormat* format) {
    DWRITE_TRIMMING trimming{};
    ComPtr<IDWriteInlineObject> sign;
    if (FAILED(format->GetTrimming(&trimming, &sign))) {
        return true;
    }
    trimming.granularity = DWRITE_TRIMMING_GRANULARITY_CHARACTER;
    return SUCCEEDED(format->SetTrimming(&trimming, sign.Get()));
}

bool ApplyAlignment(IDWriteTextFormat* format, int alignment) {
    if (alignment < 0 || alignment >= static_cast<int>(kAlignments.size())) {
        return true;
    }
    const Alignment& chosen = kAlignments[static_cast<size_t>(alignment)];
    return SUCCEEDED(format->SetTextAlignment(chosen.text)) &&
           SUCCEEDED(format->SetParagraphAlignment(chosen.paragraph));
}

}  // namespace

void EnsureTextFactory() {
    TextModule& module = Module();
    if (module.factory) {
        return;
    }
    ComPtr<IDWriteFactory> factory;
    ComPtr<IDWriteGdiInterop> interop;
    if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(factory.GetAddressOf()))) ||
        !factory || FAILED(factory->GetGdiInterop(&interop)) || !interop) {
        return;
    }
    // Without a locale name the formats use DirectWrite's neutral locale.
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SNAME, module.locale, kLocaleNameCapacity) ==
        0) {
        module.locale[0] = L'\0';
    }
    module.factory = std::move(factory);
    module.interop = std::move(interop);
}

BOOL CreateTextSlot(int slot, HDC dc, int width, int height) {
    EnsureTextFactory();
    TextModule& module = Module();
    if (!module.factory || !IsSlotNumber(slot) || width < 0 || height < 0) {
        return FALSE;
    }
    ReleaseTextSlot(slot);
    TextSlot& entry = module.slots[static_cast<size_t>(slot)];
    if (FAILED(module.interop->CreateBitmapRenderTarget(
            dc, static_cast<UINT32>(width), static_cast<UINT32>(height), &entry.target)) ||
        !entry.target || FAILED(entry.target->SetPixelsPerDip(1.0f)) ||
        FAILED(module.factory->CreateRenderingParams(&entry.params)) || !entry.params) {
        ReleaseTextSlot(slot);
        return FALSE;
    }
    entry.renderer = GdiTextRenderer::Create(entry.target.Get(), entry.params.Get());
    if (!entry.renderer) {
        ReleaseTextSlot(slot);
        return FALSE;
    }
    return TRUE;
}

void ReleaseTextSlot(int slot) {
    if (!IsSlotNumber(slot)) {
        return;
    }
    TextSlot& entry = Module().slots[static_cast<size_t>(slot)];
    // The renderer first: it holds references on the other two.
    entry.renderer.Reset();
    entry.params.Reset();
    entry.target.Reset();
}

void ReleaseAllText() {
    for (int slot = 0; slot < kTextSlotCount; ++slot) {
        ReleaseTextSlot(slot);
    }
    TextModule& module = Module();
    module.interop.Reset();
    module.factory.Reset();
}

float FittedTextSize(float size, float naturalWidth, float fitWidth, float minimumSize) {
    if (naturalWidth <= fitWidth || naturalWidth <= 0.0f) {
        return size;
    }
    const float fitted = std::floor(size * fitWidth / naturalWidth * 4.0f) / 4.0f;
    return std::max(fitted, minimumSize);
}

namespace {

bool MakeFormat(TextModule& module, const TextLook& look, float size, BOOL bold, int alignment,
                ComPtr<IDWriteTextFormat>& format) {
    if (FAILED(module.factory->CreateTextFormat(
            look.family, nullptr, bold ? DWRITE_FONT_WEIGHT_BOLD : DWRITE_FONT_WEIGHT_NORMAL,
            DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, size, module.locale, &format)) ||
        !format || !TrimAtCharacters(format.Get()) || !ApplyAlignment(format.Get(), alignment)) {
        return false;
    }
    return !look.rightToLeft ||
           SUCCEEDED(format->SetReadingDirection(DWRITE_READING_DIRECTION_RIGHT_TO_LEFT));
}

bool MakeLayout(TextModule& module, const wchar_t* text, IDWriteTextFormat* format,
                const TextRect& rect, ComPtr<IDWriteTextLayout>& layout) {
    return SUCCEEDED(module.factory->CreateTextLayout(text, static_cast<UINT32>(std::wcslen(text)),
                                                      format, static_cast<FLOAT>(rect.width),
                                                      static_cast<FLOAT>(rect.height), &layout)) &&
           layout;
}

// A caption is one line: measured unwrapped, and drawn smaller when it is
// wider than its band. A line that fits is drawn with the layout as it was
// made, wrapping restored, exactly as a text that is not fitted.
bool FitToLine(TextModule& module, const wchar_t* text, const TextRect& rect, int alignment,
               float size, BOOL bold, const TextLook& look, ComPtr<IDWriteTextLayout>& layout) {
    DWRITE_TEXT_METRICS metrics{};
    if (FAILED(layout->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP)) ||
        FAILED(layout->GetMetrics(&metrics))) {
        return false;
    }
    const float fitted = FittedTextSize(size, metrics.widthIncludingTrailingWhitespace,
                                        look.fitWidth, look.minimumSize);
    if (!(fitted < size)) {
        return SUCCEEDED(layout->SetWordWrapping(DWRITE_WORD_WRAPPING_WRAP));
    }
    ComPtr<IDWriteTextFormat> smaller;
    layout.Reset();
    return MakeFormat(module, look, fitted, bold, alignment, smaller) &&
           SUCCEEDED(smaller->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP)) &&
           MakeLayout(module, text, smaller.Get(), rect, layout);
}

}  // namespace

BOOL DrawTextInRect(HDC dc, const wchar_t* text, const TextRect& rect, int alignment, float size,
                    BOOL bold) {
    return DrawTextInRect(dc, text, rect, alignment, size, bold, TextLook{});
}

BOOL DrawTextInRect(HDC dc, const wchar_t* text, const TextRect& rect, int alignment, float size,
                    BOOL bold, const TextLook& look) {
    TextModule& module = Module();
    const TextSlot& slot = module.slots[0];
    if (!slot.target || !slot.renderer || !module.factory || text == nullptr ||
        look.family == nullptr || rect.width < 0 || rect.height < 0) {
        return FALSE;
    }
    ComPtr<IDWriteTextFormat> format;
    ComPtr<IDWriteTextLayout> layout;
    if (!MakeFormat(module, look, size, bold, alignment, format) ||
        !MakeLayout(module, text, format.Get(), rect, layout)) {
        return FALSE;
    }
    if (look.fitWidth > 0.0f &&
        !FitToLine(module, text, rect, alignment, size, bold, look, layout)) {
        return FALSE;
    }
    // The glyphs are blended over what the caller's bitmap already holds.
    const HDC targetDc = slot.target->GetMemoryDC();
    if (targetDc == nullptr ||
        !BitBlt(targetDc, rect.x, rect.y, rect.width, rect.height, dc, rect.x, rect.y, SRCCOPY)) {
        return FALSE;
    }
    COLORREF colour = kTextColour;
    if (FAILED(layout->Draw(&colour, slot.renderer.Get(), static_cast<FLOAT>(rect.x),
                            static_cast<FLOAT>(rect.y)))) {
        return FALSE;
    }
    return BitBlt(dc, rect.x, rect.y, rect.width, rect.height, targetDc, rect.x, rect.y, SRCCOPY)
               ? TRUE
               : FALSE;
}

IDWriteBitmapRenderTarget* TextSlotTarget(int slot) {
    if (!IsSlotNumber(slot)) {
        return nullptr;
    }
    return Module().slots[static_cast<size_t>(slot)].target.Get();
}

}  // namespace lensbeacon::indicator
