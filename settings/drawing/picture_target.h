// A 32-bit premultiplied picture drawn through the shared DC render target:
// the one Direct3D device the program's drawings share, where a render
// target over a WIC bitmap would bring a device of its own.
#pragma once

#include <windows.h>
#include <d2d1.h>
#include <wincodec.h>
#include <wrl/client.h>

#include "drawing/memory_dc.h"

namespace lensbeacon::settings {

class PictureTarget {
  public:
    // A top-down 32-bit DIB of width by height in a screen-compatible memory
    // DC, with the shared DC render target bound to it. The target does not
    // start from the DIB's pixels: a drawing clears it first. Failed() tells
    // whether any of it could not be made.
    PictureTarget(int width, int height) noexcept;

    bool Failed() const noexcept { return !target_; }
    // The bound target: the caller draws between BeginDraw and EndDraw.
    ID2D1RenderTarget* Target() const noexcept { return target_.Get(); }
    // Writes the picture's pixels into `bitmap`, which has its size.
    [[nodiscard]] HRESULT CopyTo(IWICBitmap* bitmap) const noexcept;
    // Hands out the memory DC with the picture selected into it.
    MemoryDc TakePicture() noexcept { return std::move(picture_); }

  private:
    MemoryDc picture_;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    Microsoft::WRL::ComPtr<ID2D1DCRenderTarget> target_;
};

}  // namespace lensbeacon::settings
