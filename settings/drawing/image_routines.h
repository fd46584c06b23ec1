// Loading, scaling, converting and composing the settings images: PNG
// resources decoded with WIC into 32-bit premultiplied BGRA, handed to GDI as
// memory DCs, and Direct2D render targets to draw with. Dialog thread only;
// the routines use the shared resources of drawing_resources.h.
#pragma once

#include <windows.h>
#include <d2d1.h>
#include <wincodec.h>
#include <wrl/client.h>

#include "drawing/memory_dc.h"

namespace lensbeacon::settings {

// Decodes the "IMAGE" resource `name` of the program's own module into a
// format converter giving 32-bit premultiplied BGRA. Mode 2 with a scale
// other than 1.0 scales each side to (int)(side * scale + 0.5) (linear);
// every other mode gives the natural size. E_FAIL without the WIC factory or
// for a missing or empty resource, E_POINTER without `out`, else the result
// of the first failing step. `out` is emptied first and filled on success.
[[nodiscard]] HRESULT LoadImageResource(const wchar_t* name, float scale, int mode,
                                        Microsoft::WRL::ComPtr<IWICFormatConverter>* out) noexcept;

// LoadImageResource, then a WIC bitmap of it (cache on load) into `out`.
[[nodiscard]] HRESULT LoadImageBitmap(const wchar_t* name, float scale, int mode,
                                      Microsoft::WRL::ComPtr<IWICBitmap>* out) noexcept;

// Copies the whole source into a top-down 32-bit DIB section selected into a
// new screen-compatible memory DC: premultiplied BGRA, ready for AlphaBlend
// with per-pixel alpha. Empty without a source or when a step fails.
[[nodiscard]] MemoryDc BitmapToMemoryDC(IWICBitmapSource* source) noexcept;

// Draws the DC's current picture (taken as opaque, width by height at (0, 0))
// into a render target bound to that DC, as the first thing after BeginDraw,
// so that what is drawn next lands over it on every Direct2D.
[[nodiscard]] HRESULT DrawDcUnderlay(ID2D1RenderTarget* target, HDC dc, int width,
                                     int height) noexcept;

// Target := background (alpha 0), overlay (alpha 255), or background with the
// overlay alpha-blended over it at constant `alpha` and per-pixel alpha.
// Copies width by height at (0, 0).
void BlendOverlay(HDC background, BYTE alpha, int height, int width, HDC target,
                  HDC overlay) noexcept;

// A picture composed over a patch of the background, and whether the image
// made it into the picture.
struct ComposedImage {
    MemoryDc picture;
    bool complete = false;
};

// A memory DC of the bitmap's size holding the background's area at (x, y)
// with the bitmap drawn over it by Direct2D. Complete when the picture holds
// both; the picture is empty without a bitmap or when the memory DC cannot
// be made, and holds only the background patch when drawing fails. A null
// background leaves the patch black.
[[nodiscard]] ComposedImage ComposeImageOverBackground(IWICBitmap* bitmap, HDC background, int x,
                                                       int y) noexcept;

// LoadImageResource in mode 2 at `scale`, a WIC bitmap of it, then
// ComposeImageOverBackground. Its result, or an empty, incomplete picture
// when loading or copying fails.
[[nodiscard]] ComposedImage LoadImageOverBackground(const wchar_t* name, float scale,
                                                    HDC background, int x, int y) noexcept;

// A Direct2D render target for GDI DCs: B8G8R8A8, premultiplied, system dots
// per inch; every call hands out the same one, which lives with the factory.
// Bind it with BindDC before drawing. E_FAIL without the Direct2D
// factory, E_POINTER without `out`.
[[nodiscard]] HRESULT CreateDCRenderTarget(
    Microsoft::WRL::ComPtr<ID2D1DCRenderTarget>* out) noexcept;

}  // namespace lensbeacon::settings
