#include "drawing/picture_target.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "drawing/image_routines.h"
#include "lensbeacon/dib_info.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::settings {

PictureTarget::PictureTarget(int width, int height) noexcept {
    if (width <= 0 || height <= 0) {
        return;
    }
    WindowDc screen(nullptr);
    if (!screen) {
        return;
    }
    MemoryDc memory(::CreateCompatibleDC(screen.get()));
    const BITMAPINFO info = Bitmap32Info(width, -height);  // top-down, as WIC's rows run
    void* bits = nullptr;
    UniqueBitmap section(
        ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !section || bits == nullptr) {
        return;
    }
    if (::SelectObject(memory.get(), section.get()) == nullptr) {
        return;
    }
    section.release();  // owned by the DC from here on
    Microsoft::WRL::ComPtr<ID2D1DCRenderTarget> target;
    const RECT bounds{0, 0, width, height};
    if (FAILED(CreateDCRenderTarget(&target)) || FAILED(target->BindDC(memory.get(), &bounds))) {
        return;
    }
    picture_ = std::move(memory);
    bits_ = bits;
    width_ = width;
    height_ = height;
    target_ = std::move(target);
}

HRESULT PictureTarget::CopyTo(IWICBitmap* bitmap) const noexcept {
    if (bitmap == nullptr || bits_ == nullptr) {
        return E_POINTER;
    }
    ::GdiFlush();
    const WICRect whole{0, 0, width_, height_};
    Microsoft::WRL::ComPtr<IWICBitmapLock> lock;
    HRESULT hr = bitmap->Lock(&whole, WICBitmapLockWrite, &lock);
    UINT stride = 0;
    UINT size = 0;
    BYTE* pixels = nullptr;
    if (SUCCEEDED(hr)) {
        hr = lock->GetStride(&stride);
    }
    if (SUCCEEDED(hr)) {
        hr = lock->GetDataPointer(&size, &pixels);
    }
    const auto row = static_cast<std::size_t>(width_) * 4u;
    if (SUCCEEDED(hr) && (pixels == nullptr || stride < row ||
                          size < stride * static_cast<UINT>(height_ - 1) + row)) {
        hr = E_UNEXPECTED;
    }
    if (FAILED(hr)) {
        return hr;
    }
    const auto* source = static_cast<const BYTE*>(bits_);
    for (int y = 0; y < height_; ++y) {
        std::memcpy(pixels + static_cast<std::size_t>(y) * stride,
                    source + static_cast<std::size_t>(y) * row, row);
    }
    return S_OK;
}

}  // namespace lensbeacon::settings
