// The indicator window's composed picture: a 32-bit premultiplied-alpha DIB
// selected into a memory DC, the source of UpdateLayeredWindow.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {

class OsdCanvas {
  public:
    OsdCanvas() noexcept = default;
    ~OsdCanvas() { Reset(); }
    OsdCanvas(const OsdCanvas&) = delete;
    OsdCanvas& operator=(const OsdCanvas&) = delete;

    // A fully transparent bitmap of this size: the one there is, wiped, when
    // it has this size already (a show then makes no GDI objects), otherwise
    // a fresh one (the old one goes). False when no memory DC could be made;
    // a DC without a bitmap is kept, as drawing into it is then simply lost.
    [[nodiscard]] bool Create(int width, int height);
    // Deletes the bitmap and the DC.
    void Reset() noexcept;

    HDC Dc() const noexcept { return dc_.get(); }
    [[nodiscard]] bool HasBitmap() const noexcept { return bits_ != nullptr; }
    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    // Makes rows [top, bottom) valid premultiplied pixels again after GDI-style
    // drawing, which writes colour and leaves alpha at 0: each pixel whose
    // colour exceeds its alpha takes its brightest channel as its alpha, so
    // white text keeps its anti-aliased coverage. Pending GDI drawing is
    // finished first; false when GDI reports that some of it failed.
    [[nodiscard]] bool CoverColourWithAlpha(int top, int bottom) noexcept;
    // Keeps a copy of the bitmap's pixels, GDI's pending drawing finished.
    void Keep();
    // Puts the kept pixels back into the bitmap; false when none are kept.
    [[nodiscard]] bool Restore() noexcept;
    // Rows run bottom-up, as the DIB is; Row(0) is the top row.
    std::uint32_t* Row(int y) const noexcept;

  private:
    // In this order, so the bitmap is deselected before it is deleted, and
    // deleted before its DC.
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    std::optional<SelectedObject> selection_;
    void* bits_ = nullptr;
    std::vector<std::uint32_t> kept_;  // empty, or one pixel for each of the bitmap's
    int width_ = 0;
    int height_ = 0;
};

}  // namespace lensbeacon::indicator
