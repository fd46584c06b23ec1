#include "osd_canvas.h"

#include <algorithm>
#include <cstring>

#include "lensbeacon/dib_info.h"

namespace lensbeacon::indicator {

bool OsdCanvas::Create(int width, int height) {
    if (bits_ != nullptr && width == width_ && height == height_) {
        // GDI may still be drawing into it: finish that before the wipe.
        ::GdiFlush();
        std::memset(bits_, 0,
                    static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        return true;
    }
    Reset();
    {
        WindowDc screen(nullptr);
        if (!screen) {
            return false;
        }
        dc_.reset(::CreateCompatibleDC(screen.get()));
        if (!dc_) {
            return false;
        }
        BITMAPINFO info = Bitmap32Info(width, height);  // bottom-up
        info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap_) {
            return true;
        }
        selection_.emplace(dc_.get(), bitmap_.get());
        if (!*selection_) {
            selection_.reset();
            bitmap_.reset();
            return true;
        }
        bits_ = bits;
    }
    width_ = width;
    height_ = height;
    return true;
}

void OsdCanvas::Reset() noexcept {
    selection_.reset();
    bitmap_.reset();
    dc_.reset();
    bits_ = nullptr;
    kept_.clear();
    width_ = 0;
    height_ = 0;
}

void OsdCanvas::Keep() {
    kept_.clear();
    if (bits_ == nullptr) {
        return;
    }
    static_cast<void>(::GdiFlush());  // a failed call left its pixels as they were
    const auto* pixels = static_cast<const std::uint32_t*>(bits_);
    kept_.assign(pixels,
                 pixels + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
}

bool OsdCanvas::Restore() noexcept {
    if (bits_ == nullptr || kept_.empty()) {
        return false;
    }
    std::memcpy(bits_, kept_.data(), kept_.size() * sizeof(std::uint32_t));
    return true;
}

bool OsdCanvas::CoverColourWithAlpha(int top, int bottom) noexcept {
    // GDI may batch drawing calls: finish them before the pixels are read.
    // A batched call that failed left its pixels as they were, and those
    // still get fixed up.
    const bool drawn = ::GdiFlush() != FALSE;
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = Row(y);
        if (row == nullptr) {
            continue;
        }
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t pixel = row[x];
            const std::uint32_t brightest =
                std::max({pixel & 0xFFu, (pixel >> 8) & 0xFFu, (pixel >> 16) & 0xFFu});
            if (brightest > (pixel >> 24)) {
                row[x] = (pixel & 0x00FFFFFFu) | (brightest << 24);
            }
        }
    }
    return drawn;
}

std::uint32_t* OsdCanvas::Row(int y) const noexcept {
    if (bits_ == nullptr || y < 0 || y >= height_) {
        return nullptr;
    }
    auto* base = static_cast<std::uint32_t*>(bits_);
    return base + static_cast<std::size_t>(height_ - 1 - y) * static_cast<std::size_t>(width_);
}

}  // namespace lensbeacon::indicator
