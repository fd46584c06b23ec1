// The settings program's text style record and its DirectWrite text
// routines. Dialog thread only; the routines use the shared resources of
// drawing_resources.h.
#pragma once

#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <optional>

namespace lensbeacon::settings {

inline constexpr int kTextFamilyCapacity = 260;
inline constexpr wchar_t kDefaultFontFamily[] = L"Segoe UI";
inline constexpr wchar_t kJapaneseFontFamily[] = L"Meiryo";

// Text style kinds of FillTextStyle.
inline constexpr int kTextStyleSmall = 1;  // size 12
inline constexpr int kTextStyleBody = 2;   // size 13

// How a text is drawn. The caller sets weight 400, style 0, stretch 5 and
// right to left 0; the style routines fill the rest.
struct TextStyle {
    wchar_t family[kTextFamilyCapacity] = {};
    float size = 0.0f;    // device-independent units
    int weight = 400;     // DWRITE_FONT_WEIGHT
    int style = 0;        // DWRITE_FONT_STYLE, 0 normal
    int stretch = 5;      // DWRITE_FONT_STRETCH, 5 normal
    int rightToLeft = 0;  // non-zero: right-to-left reading direction
    float color[4] = {};  // red, green, blue, alpha of the text brush
};

// Copies the family (truncated to fit), size := g_fontScale * size,
// weight := 400, colour := grey (0.4, 0.4, 0.4, 1.0). Ignores a null style;
// a null family gives an empty one.
void SetTextStyle(TextStyle* style, const wchar_t* family, float size) noexcept;

// The style for `kind` (1: size 12, 2: size 13) in the language `language`:
// "Meiryo" where the language uses it, else "Segoe UI"; right to left set
// for a right-to-left language; weight 400, normal style and stretch. None
// for any other kind.
[[nodiscard]] std::optional<TextStyle> FillTextStyleFor(int kind, int language) noexcept;

// FillTextStyleFor in the program's language (g_languageOverride).
[[nodiscard]] std::optional<TextStyle> FillTextStyle(int kind) noexcept;

// A DirectWrite text format for the style (family, weight, style, stretch,
// size, the user's locale), with right-to-left reading direction when the
// style asks for it. E_FAIL without the DirectWrite factory, E_POINTER
// without arguments.
[[nodiscard]] HRESULT CreateTextFormatFor(const TextStyle* style,
                                          Microsoft::WRL::ComPtr<IDWriteTextFormat>* out) noexcept;

// A text layout of the whole text within the maxima; empty without the
// DirectWrite factory, text or format, or when DirectWrite refuses.
[[nodiscard]] Microsoft::WRL::ComPtr<IDWriteTextLayout> CreateTextLayoutFor(
    const wchar_t* text, float maxWidth, float maxHeight, IDWriteTextFormat* format) noexcept;

// Draws the text into the layout rectangle with the style's colour. Nothing
// happens without render target, text, style or format.
void DrawTextInRect(ID2D1RenderTarget* target, const wchar_t* text, const TextStyle* style,
                    IDWriteTextFormat* format, const D2D1_RECT_F& layoutRect) noexcept;

// The text's layout bounds placed in the layout rectangle, as DrawTextInRect
// draws it there. None without text, style or format, or without a layout.
[[nodiscard]] std::optional<D2D1_RECT_F> MeasureTextInRect(const wchar_t* text,
                                                           const TextStyle* style,
                                                           IDWriteTextFormat* format,
                                                           const D2D1_RECT_F& layoutRect) noexcept;

// Binds a DC render target to (0, 0, width, height) of `dc` and draws the
// text with DrawTextInRect between BeginDraw and EndDraw, over the DC's
// picture (taken as opaque). The text's bounds (MeasureTextInRect) when it
// was drawn; none without the Direct2D factory or when a step fails.
[[nodiscard]] std::optional<D2D1_RECT_F> DrawTextOnDC(HDC dc, int width, int height,
                                                      const wchar_t* text, const TextStyle* style,
                                                      IDWriteTextFormat* format,
                                                      const D2D1_RECT_F& layoutRect) noexcept;

}  // namespace lensbeacon::settings
