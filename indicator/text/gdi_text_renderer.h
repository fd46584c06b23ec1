// A DirectWrite text renderer that hands every glyph run of a laid-out text
// to a bitmap render target, in the colour the caller passes as the drawing
// context (a pointer to a COLORREF). Underlines, strike-throughs and inline
// objects are not drawn.
#pragma once

#include <windows.h>
#include <dwrite.h>
#include <wrl/client.h>

namespace lensbeacon::indicator {

class GdiTextRenderer final : public IDWriteTextRenderer {
  public:
    // A new renderer with one reference, owned by the returned pointer, that
    // keeps its own references on the target and the parameters. Empty when
    // either is missing or the object cannot be allocated.
    static Microsoft::WRL::ComPtr<GdiTextRenderer> Create(IDWriteBitmapRenderTarget* target,
                                                          IDWriteRenderingParams* params);

    GdiTextRenderer(const GdiTextRenderer&) = delete;
    GdiTextRenderer& operator=(const GdiTextRenderer&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDWritePixelSnapping
    HRESULT STDMETHODCALLTYPE IsPixelSnappingDisabled(void* context, BOOL* disabled) override;
    HRESULT STDMETHODCALLTYPE GetCurrentTransform(void* context, DWRITE_MATRIX* transform) override;
    HRESULT STDMETHODCALLTYPE GetPixelsPerDip(void* context, FLOAT* pixelsPerDip) override;

    // IDWriteTextRenderer
    HRESULT STDMETHODCALLTYPE DrawGlyphRun(void* context, FLOAT baselineX, FLOAT baselineY,
                                           DWRITE_MEASURING_MODE mode,
                                           const DWRITE_GLYPH_RUN* glyphRun,
                                           const DWRITE_GLYPH_RUN_DESCRIPTION* description,
                                           IUnknown* effect) override;
    HRESULT STDMETHODCALLTYPE DrawUnderline(void* context, FLOAT baselineX, FLOAT baselineY,
                                            const DWRITE_UNDERLINE* underline,
                                            IUnknown* effect) override;
    HRESULT STDMETHODCALLTYPE DrawStrikethrough(void* context, FLOAT baselineX, FLOAT baselineY,
                                                const DWRITE_STRIKETHROUGH* strikethrough,
                                                IUnknown* effect) override;
    HRESULT STDMETHODCALLTYPE DrawInlineObject(void* context, FLOAT originX, FLOAT originY,
                                               IDWriteInlineObject* inlineObject, BOOL sideways,
                                               BOOL rightToLeft, IUnknown* effect) override;

  private:
    GdiTextRenderer(IDWriteBitmapRenderTarget* target, IDWriteRenderingParams* params) noexcept;
    // Only Release destroys the object.
    ~GdiTextRenderer() = default;

    volatile LONG references_ = 1;
    Microsoft::WRL::ComPtr<IDWriteBitmapRenderTarget> target_;
    Microsoft::WRL::ComPtr<IDWriteRenderingParams> params_;
};

}  // namespace lensbeacon::indicator
