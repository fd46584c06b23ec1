#include "osd_images.h"

#include <objidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image_shrink.h"

namespace lensbeacon::indicator {

using Microsoft::WRL::ComPtr;

namespace {

// The resource name of an image at an artwork scale: BKGND, BKGND_150, ...
std::wstring ScaledName(const wchar_t* name, int percent) {
    std::wstring scaled(name);
    if (percent != 100) {
        scaled += L'_';
        scaled += std::to_wstring(percent);
    }
    return scaled;
}

// Copies premultiplied pixels, rows top-down, out of `bitmap` (read) or into
// it (write), through the caller's buffer of width x height.
bool CopyPixels(Gdiplus::Bitmap& bitmap, int width, int height, std::uint32_t* pixels,
                Gdiplus::ImageLockMode mode) {
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = pixels;
    const auto flags = static_cast<UINT>(mode) | Gdiplus::ImageLockModeUserInputBuf;
    return bitmap.LockBits(&all, flags, PixelFormat32bppPARGB, &data) == Gdiplus::Ok &&
           bitmap.UnlockBits(&data) == Gdiplus::Ok;
}

// The premultiplied pixels of `bitmap`, rows top-down; empty on failure.
std::vector<std::uint32_t> PixelsOf(Gdiplus::Bitmap& bitmap, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    if (!CopyPixels(bitmap, width, height, pixels.data(), Gdiplus::ImageLockModeRead)) {
        return {};
    }
    return pixels;
}

// `image` at `side` x `side` pixels: itself when it has that size already,
// otherwise shrunk with the box filter; null when it cannot be.
std::unique_ptr<Gdiplus::Bitmap> AtSide(std::unique_ptr<Gdiplus::Bitmap> image, int side) {
    if (!image) {
        return nullptr;
    }
    const int width = static_cast<int>(image->GetWidth());
    const int height = static_cast<int>(image->GetHeight());
    if (width == side && height == side) {
        return image;
    }
    const std::vector<std::uint32_t> source = PixelsOf(*image, width, height);
    std::vector<std::uint32_t> target(static_cast<std::size_t>(side) *
                                      static_cast<std::size_t>(side));
    if (source.empty() || !ShrinkImage(source, width, height, target, side, side)) {
        return nullptr;
    }
    auto shrunk = std::make_unique<Gdiplus::Bitmap>(side, side, PixelFormat32bppPARGB);
    if (shrunk->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    if (!CopyPixels(*shrunk, side, side, target.data(), Gdiplus::ImageLockModeWrite)) {
        return nullptr;
    }
    return shrunk;
}

}  // namespace

GdiplusSession::GdiplusSession() noexcept {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) {
        token_ = 0;
    }
}

GdiplusSession::~GdiplusSession() {
    if (token_ != 0) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

std::unique_ptr<Gdiplus::Bitmap> LoadImageResource(HMODULE module, const wchar_t* name) {
    HRSRC resource = ::FindResourceW(module, name, L"IMAGE");
    if (resource == nullptr) {
        return nullptr;
    }
    const DWORD size = ::SizeofResource(module, resource);
    if (size == 0) {
        return nullptr;
    }
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return nullptr;
    }
    // The decoder reads from a stream; the stream frees its memory itself.
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        return nullptr;
    }
    ULONG written = 0;
    if (FAILED(stream->Write(bytes, size, &written)) || written != size) {
        return nullptr;
    }
    LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    return bitmap;
}

bool OsdImages::Load(HMODULE module, const OsdLayout& layout) {
    if (layout.artworkPercent != artworkPercent_ || layout.glyphSize != glyphSize_ ||
        layout.buttonSize != buttonSize_) {
        Free();
        artworkPercent_ = layout.artworkPercent;
        glyphSize_ = layout.glyphSize;
        buttonSize_ = layout.buttonSize;
    }
    const int percent = layout.artworkPercent;
    if (!background_) {
        background_ = AtSide(LoadImageResource(module, ScaledName(L"BKGND", percent).c_str()),
                             layout.glyphSize);
    }
    const wchar_t* const buttonNames[] = {L"BTN_NORMAL", L"BTN_NORMAL", L"BTN_DOWN"};
    for (std::size_t slot = 0; slot < buttons_.size(); ++slot) {
        if (!buttons_[slot]) {
            buttons_[slot] =
                AtSide(LoadImageResource(module, ScaledName(buttonNames[slot], percent).c_str()),
                       layout.buttonSize);
        }
    }
    return background_ != nullptr;
}

void OsdImages::Free() noexcept {
    for (auto& button : buttons_) {
        button.reset();
    }
    background_.reset();
}

Gdiplus::Bitmap* OsdImages::Button(int slot) const noexcept {
    if (slot < 0 || static_cast<std::size_t>(slot) >= buttons_.size()) {
        return nullptr;
    }
    return buttons_[static_cast<std::size_t>(slot)].get();
}

}  // namespace lensbeacon::indicator
