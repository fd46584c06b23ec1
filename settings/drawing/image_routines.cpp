#include "drawing/image_routines.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "lensbeacon/dib_info.h"

#include "drawing/drawing_resources.h"
#include "drawing/image_set.h"
#include "drawing/scale.h"

using Microsoft::WRL::ComPtr;

namespace lensbeacon::settings {

namespace {

// Empties a COM out-parameter before a routine fills it; false when the
// caller gave none.
template <typename T>
bool EmptyOut(ComPtr<T>* out) noexcept {
    if (out == nullptr) {
        return false;
    }
    out->Reset();
    return true;
}

// A scaled side of a mode-2 image; 0 when it leaves the range WIC takes.
UINT ScaledSide(UINT side, float scale) noexcept {
    if (side > static_cast<UINT>(std::numeric_limits<int>::max())) {
        return 0;
    }
    const int scaled = ScaleValue(static_cast<int>(side), scale);
    return scaled > 0 && scaled < std::numeric_limits<int>::max() ? static_cast<UINT>(scaled) : 0;
}

// The byte count of a w by h 32-bit picture, or 0 when it does not fit the
// 32-bit sizes GDI and WIC work with.
UINT PictureBytes(UINT width, UINT height) noexcept {
    const std::uint64_t bytes = std::uint64_t{width} * height * 4u;
    if (width == 0 || height == 0 ||
        bytes > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
        return 0;
    }
    return static_cast<UINT>(bytes);
}

}  // namespace

// Puts the DC's current picture, taken as opaque, under what the bound DC
// render target draws next. Wine's Direct2D starts a DC render target from
// black rather than from the DC's pixels; laying the picture down first gives
// the same result there as on Windows.
HRESULT DrawDcUnderlay(ID2D1RenderTarget* target, HDC dc, int width, int height) noexcept {
    const UINT bytes = PictureBytes(static_cast<UINT>(width), static_cast<UINT>(height));
    if (bytes == 0) {
        return E_INVALIDARG;
    }
    const BITMAPINFO info = Bitmap32Info(width, -height);
    void* bits = nullptr;
    UniqueBitmap section(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc copy(::CreateCompatibleDC(dc));
    if (!section || bits == nullptr || !copy) {
        return E_OUTOFMEMORY;
    }
    {
        SelectedObject selected(copy.get(), section.get());
        if (!selected || !::BitBlt(copy.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY)) {
            return E_FAIL;
        }
    }
    ::GdiFlush();
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (UINT i = 0; i < bytes / 4u; ++i) {
        pixels[i] |= 0xFF000000u;
    }
    const D2D1_BITMAP_PROPERTIES properties{
        {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED}, 0.0f, 0.0f};
    ComPtr<ID2D1Bitmap> underlay;
    const HRESULT hr =
        target->CreateBitmap(D2D1_SIZE_U{static_cast<UINT32>(width), static_cast<UINT32>(height)},
                             bits, static_cast<UINT32>(width) * 4u, &properties, &underlay);
    if (FAILED(hr)) {
        return hr;
    }
    const D2D1_RECT_F whole{0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)};
    target->DrawBitmap(underlay.Get(), whole, 1.0f, D2D1_BITMAP_INTERPOLATION_MODE_NEAREST_NEIGHBOR,
                       whole);
    return S_OK;
}

HRESULT LoadImageResource(const wchar_t* name, float scale, int mode,
                          ComPtr<IWICFormatConverter>* out) noexcept {
    if (!EmptyOut(out)) {
        return E_POINTER;
    }
    IWICImagingFactory* factory = DrawingResources().wicFactory.Get();
    if (factory == nullptr || name == nullptr) {
        return E_FAIL;
    }
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, name, kImageResourceType);
    if (info == nullptr) {
        return E_FAIL;
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    if (loaded == nullptr) {
        return E_FAIL;
    }
    void* bytes = ::LockResource(loaded);
    const DWORD size = ::SizeofResource(module, info);
    if (bytes == nullptr || size == 0) {
        return E_FAIL;
    }

    ComPtr<IWICStream> stream;
    HRESULT hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr)) {
        hr = stream->InitializeFromMemory(static_cast<BYTE*>(bytes), size);
    }
    ComPtr<IWICBitmapDecoder> decoder;
    if (SUCCEEDED(hr)) {
        hr = factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                              &decoder);
    }
    ComPtr<IWICBitmapFrameDecode> frame;
    if (SUCCEEDED(hr)) {
        hr = decoder->GetFrame(0, &frame);
    }
    ComPtr<IWICFormatConverter> converter;
    if (SUCCEEDED(hr)) {
        hr = factory->CreateFormatConverter(&converter);
    }
    IWICBitmapSource* source = frame.Get();
    ComPtr<IWICBitmapScaler> scaler;
    if (SUCCEEDED(hr) && mode == kLoadScaled && scale != 1.0f) {
        UINT width = 0;
        UINT height = 0;
        hr = frame->GetSize(&width, &height);
        if (SUCCEEDED(hr)) {
            hr = factory->CreateBitmapScaler(&scaler);
        }
        if (SUCCEEDED(hr)) {
            const UINT scaledWidth = ScaledSide(width, scale);
            const UINT scaledHeight = ScaledSide(height, scale);
            hr = scaledWidth == 0 || scaledHeight == 0
                     ? E_INVALIDARG
                     : scaler->Initialize(frame.Get(), scaledWidth, scaledHeight,
                                          WICBitmapInterpolationModeLinear);
        }
        source = scaler.Get();
    }
    if (SUCCEEDED(hr)) {
        hr = converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeMedianCut);
    }
    if (SUCCEEDED(hr)) {
        *out = converter;
    }
    return hr;
}

HRESULT LoadImageBitmap(const wchar_t* name, float scale, int mode,
                        ComPtr<IWICBitmap>* out) noexcept {
    if (!EmptyOut(out)) {
        return E_POINTER;
    }
    ComPtr<IWICFormatConverter> converter;
    HRESULT hr = LoadImageResource(name, scale, mode, &converter);
    if (SUCCEEDED(hr)) {
        hr = DrawingResources().wicFactory->CreateBitmapFromSource(
            converter.Get(), WICBitmapCacheOnLoad, out->ReleaseAndGetAddressOf());
    }
    return hr;
}

MemoryDc BitmapToMemoryDC(IWICBitmapSource* source) noexcept {
    if (source == nullptr) {
        return MemoryDc{};
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source->GetSize(&width, &height))) {
        return MemoryDc{};
    }
    const UINT bytes = PictureBytes(width, height);
    if (bytes == 0) {
        return MemoryDc{};
    }
    WindowDc screen(nullptr);
    if (!screen) {
        return MemoryDc{};
    }
    MemoryDc memory(::CreateCompatibleDC(screen.get()));
    if (!memory) {
        return MemoryDc{};
    }
    const BITMAPINFO info = Bitmap32Info(static_cast<LONG>(width), -static_cast<LONG>(height));
    void* bits = nullptr;
    UniqueBitmap section(
        ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr) {
        return MemoryDc{};
    }
    if (FAILED(source->CopyPixels(nullptr, width * 4u, bytes, static_cast<BYTE*>(bits)))) {
        return MemoryDc{};
    }
    ::GdiFlush();
    if (::SelectObject(memory.get(), section.get()) == nullptr) {
        return MemoryDc{};
    }
    section.release();  // owned by the DC from here on
    return memory;
}

void BlendOverlay(HDC background, BYTE alpha, int height, int width, HDC target,
                  HDC overlay) noexcept {
    if (alpha == 255) {
        ::BitBlt(target, 0, 0, width, height, overlay, 0, 0, SRCCOPY);
        return;
    }
    ::BitBlt(target, 0, 0, width, height, background, 0, 0, SRCCOPY);
    if (alpha == 0) {
        return;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    ::AlphaBlend(target, 0, 0, width, height, overlay, 0, 0, width, height, blend);
}

ComposedImage ComposeImageOverBackground(IWICBitmap* bitmap, HDC background, int x,
                                         int y) noexcept {
    ComposedImage composed;
    if (bitmap == nullptr) {
        return composed;
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(bitmap->GetSize(&width, &height)) || PictureBytes(width, height) == 0) {
        return composed;
    }
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    composed.picture = CreateMemoryDC(w, h);
    if (!composed.picture) {
        return composed;
    }
    HDC picture = composed.picture.get();
    if (background != nullptr) {
        ::BitBlt(picture, 0, 0, w, h, background, x, y, SRCCOPY);
    }

    ComPtr<ID2D1DCRenderTarget> target;
    HRESULT hr = CreateDCRenderTarget(&target);
    const RECT bounds{0, 0, w, h};
    if (SUCCEEDED(hr)) {
        hr = target->BindDC(picture, &bounds);
    }
    ComPtr<ID2D1Bitmap> image;
    if (SUCCEEDED(hr)) {
        hr = target->CreateBitmapFromWicBitmap(bitmap, nullptr, &image);
    }
    if (SUCCEEDED(hr)) {
        const D2D1_RECT_F whole{0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h)};
        target->BeginDraw();
        hr = DrawDcUnderlay(target.Get(), picture, w, h);
        target->DrawBitmap(image.Get(), whole, 1.0f, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, whole);
        const HRESULT drawn = target->EndDraw();
        hr = FAILED(hr) ? hr : drawn;
    }
    // The picture is handed out even when drawing failed: it then holds the
    // background patch alone, and `complete` says so.
    composed.complete = SUCCEEDED(hr);
    return composed;
}

ComposedImage LoadImageOverBackground(const wchar_t* name, float scale, HDC background, int x,
                                      int y) noexcept {
    ComPtr<IWICBitmap> bitmap;
    if (FAILED(LoadImageBitmap(name, scale, kLoadScaled, &bitmap))) {
        return ComposedImage{};
    }
    return ComposeImageOverBackground(bitmap.Get(), background, x, y);
}

HRESULT CreateDCRenderTarget(ComPtr<ID2D1DCRenderTarget>* out) noexcept {
    if (!EmptyOut(out)) {
        return E_POINTER;
    }
    ID2D1Factory* factory = DrawingResources().d2dFactory.Get();
    if (factory == nullptr) {
        return E_FAIL;
    }
    // One target serves every drawing: each binds it to its own DC and
    // draws the DC's picture under everything first, so nothing a previous
    // drawing left in it shows.
    auto& shared = DrawingResources().dcTarget;
    if (!shared) {
        const D2D1_RENDER_TARGET_PROPERTIES properties{
            D2D1_RENDER_TARGET_TYPE_DEFAULT,
            {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED},
            0.0f,
            0.0f,
            D2D1_RENDER_TARGET_USAGE_NONE,
            D2D1_FEATURE_LEVEL_DEFAULT};
        const HRESULT hr = factory->CreateDCRenderTarget(&properties, shared.GetAddressOf());
        if (FAILED(hr)) {
            shared.Reset();
            return hr;
        }
    }
    *out = shared;
    return S_OK;
}

}  // namespace lensbeacon::settings
