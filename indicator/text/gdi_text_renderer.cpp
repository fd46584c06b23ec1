#include "gdi_text_renderer.h"

#include <new>

namespace lensbeacon::indicator {

using Microsoft::WRL::ComPtr;

ComPtr<GdiTextRenderer> GdiTextRenderer::Create(IDWriteBitmapRenderTarget* target,
                                                IDWriteRenderingParams* params) {
    ComPtr<GdiTextRenderer> renderer;
    if (target == nullptr || params == nullptr) {
        return renderer;
    }
    // The owner adopts the new object's first reference. Not through Attach:
    // mingw-w64's Attach takes a reference of its own, which would leak one.
    *renderer.GetAddressOf() = new (std::nothrow) GdiTextRenderer(target, params);
    return renderer;
}

GdiTextRenderer::GdiTextRenderer(IDWriteBitmapRenderTarget* target,
                                 IDWriteRenderingParams* params) noexcept
    : target_(target), params_(params) {}

HRESULT GdiTextRenderer::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, __uuidof(IDWriteTextRenderer)) ||
        IsEqualIID(iid, __uuidof(IDWritePixelSnapping)) || IsEqualIID(iid, __uuidof(IUnknown))) {
        // One inheritance chain: the three interfaces share this address.
        *object = static_cast<IDWriteTextRenderer*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_FAIL;
}

ULONG GdiTextRenderer::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG GdiTextRenderer::Release() {
    const LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0) {
        // The members give back their references on the target and the parameters.
        delete this;
    }
    return static_cast<ULONG>(remaining);
}

HRESULT GdiTextRenderer::IsPixelSnappingDisabled(void*, BOOL* disabled) {
    if (disabled == nullptr) {
        return E_POINTER;
    }
    *disabled = FALSE;
    return S_OK;
}

HRESULT GdiTextRenderer::GetCurrentTransform(void*, DWRITE_MATRIX* transform) {
    if (transform == nullptr) {
        return E_POINTER;
    }
    return target_->GetCurrentTransform(transform);
}

HRESULT GdiTextRenderer::GetPixelsPerDip(void*, FLOAT* pixelsPerDip) {
    if (pixelsPerDip == nullptr) {
        return E_POINTER;
    }
    *pixelsPerDip = target_->GetPixelsPerDip();
    return S_OK;
}

HRESULT GdiTextRenderer::DrawGlyphRun(void* context, FLOAT baselineX, FLOAT baselineY,
                                      DWRITE_MEASURING_MODE mode, const DWRITE_GLYPH_RUN* glyphRun,
                                      const DWRITE_GLYPH_RUN_DESCRIPTION*, IUnknown*) {
    // The drawing context carries the text colour; without one there is nothing to draw with.
    if (context == nullptr || glyphRun == nullptr) {
        return E_INVALIDARG;
    }
    const COLORREF colour = *static_cast<const COLORREF*>(context);
    RECT inkBounds{};
    return target_->DrawGlyphRun(baselineX, baselineY, mode, glyphRun, params_.Get(), colour,
                                 &inkBounds);
}

HRESULT GdiTextRenderer::DrawUnderline(void*, FLOAT, FLOAT, const DWRITE_UNDERLINE*, IUnknown*) {
    return E_NOTIMPL;
}

HRESULT GdiTextRenderer::DrawStrikethrough(void*, FLOAT, FLOAT, const DWRITE_STRIKETHROUGH*,
                                           IUnknown*) {
    return E_NOTIMPL;
}

HRESULT GdiTextRenderer::DrawInlineObject(void*, FLOAT, FLOAT, IDWriteInlineObject*, BOOL, BOOL,
                                          IUnknown*) {
    return E_NOTIMPL;
}

}  // namespace lensbeacon::indicator
