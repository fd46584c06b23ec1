// Text drawn with DirectWrite into a GDI memory bitmap. A small process-wide
// module: one DirectWrite factory with its GDI interoperation object, the
// user's locale, and a table of text slots, each a bitmap render target with
// its rendering parameters and a renderer. Drawing uses slot 0.
#pragma once

#include <windows.h>
#include <dwrite.h>

namespace lensbeacon::indicator {

// A layout rectangle in the caller's bitmap, in pixels.
struct TextRect {
    int x, y, width, height;
};

// Number of text slots; valid slot numbers are 0 to kTextSlotCount - 1.
inline constexpr int kTextSlotCount = 5;

// Codes for DrawTextInRect's alignment: horizontal alignment of the text and
// vertical alignment of the paragraph in the rectangle. Any other code keeps
// leading and top.
enum TextAlignment : int {
    kTextLeadingTop = 0,
    kTextCentreTop = 1,
    kTextTrailingTop = 2,
    kTextLeadingMiddle = 3,
    kTextCentreMiddle = 4,
    kTextTrailingMiddle = 5,
    kTextLeadingBottom = 6,
    kTextCentreBottom = 7,
    kTextTrailingBottom = 8,
};

// Creates the factory, the interoperation object and the locale name unless
// the factory exists already. On failure nothing is kept.
void EnsureTextFactory();

// Builds a slot's render target for `dc` (null: the screen) and a size, with
// the default rendering parameters and a renderer. A slot that is filled is
// emptied first. FALSE, with the slot empty, when the slot number is outside
// the table, a size is negative or any DirectWrite call fails.
[[nodiscard]] BOOL CreateTextSlot(int slot, HDC dc, int width, int height);

// Empties one slot (renderer, parameters, render target). Slot numbers
// outside the table are ignored.
void ReleaseTextSlot(int slot);

// Empties every slot and releases the factory and the interoperation object.
void ReleaseAllText();

// How a text is drawn besides its size and weight: the font family, the
// reading direction, and for a one-line caption the width its line must fit
// in. A line wider than `fitWidth` is drawn on one line at the size that
// fits, but never below `minimumSize`; below that it is trimmed. A fitWidth
// of 0 lays the text out as it comes, wrapped at the rectangle's width.
struct TextLook {
    const wchar_t* family = L"Segoe UI";
    bool rightToLeft = false;
    float fitWidth = 0.0f;
    float minimumSize = 0.0f;
};

// The size at which a line `naturalWidth` wide at `size` fits in `fitWidth`:
// `size` when it fits, otherwise the proportionally smaller size, rounded
// down to a quarter DIP and kept at `minimumSize` or above.
float FittedTextSize(float size, float naturalWidth, float fitWidth, float minimumSize);

// Draws `text` in white "Segoe UI" of `size` DIPs (one DIP is one pixel),
// bold or regular, into the bitmap selected into `dc`, laid out in `rect`
// and trimmed at a character boundary. The rectangle's pixels are copied into
// slot 0's render target, drawn over and copied back. FALSE when slot 0 is
// empty, the text is null, the rectangle has a negative size or DirectWrite
// fails; then the caller's bitmap is unchanged.
[[nodiscard]] BOOL DrawTextInRect(HDC dc, const wchar_t* text, const TextRect& rect, int alignment,
                                  float size, BOOL bold);
// The same in the family, direction and fitting of `look`.
[[nodiscard]] BOOL DrawTextInRect(HDC dc, const wchar_t* text, const TextRect& rect, int alignment,
                                  float size, BOOL bold, const TextLook& look);

// The render target of a slot, not referenced, or null when the slot is empty
// or outside the table. For callers that need its memory DC or to observe
// its lifetime.
IDWriteBitmapRenderTarget* TextSlotTarget(int slot);

}  // namespace lensbeacon::indicator
