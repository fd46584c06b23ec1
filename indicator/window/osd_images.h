// The indicator's images: PNG resources of type "IMAGE", decoded with GDI+ at
// each show and freed at each hide. Each is drawn at 1x, 1.5x and 2x (BKGND,
// BKGND_150, BKGND_200, likewise for the buttons); a layout takes the set of
// its artwork scale, shrunk to its own sizes when they are smaller.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

// GDI+ wants min and max from somewhere (NOMINMAX keeps them out of
// windows.h), and the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "osd_layout.h"

namespace lensbeacon::indicator {

// Starts GDI+ for the life of the object.
class GdiplusSession {
  public:
    GdiplusSession() noexcept;
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    explicit operator bool() const noexcept { return token_ != 0; }

  private:
    ULONG_PTR token_ = 0;
};

// Decodes the "IMAGE" resource `name` of `module`; null when it is missing or
// does not decode.
[[nodiscard]] std::unique_ptr<Gdiplus::Bitmap> LoadImageResource(HMODULE module,
                                                                 const wchar_t* name);

class OsdImages {
  public:
    // The close button's three looks: slot 0 normal, 1 hover, 2 pressed.
    static constexpr int kButtonNormal = 0;
    static constexpr int kButtonHover = 1;
    static constexpr int kButtonPressed = 2;

    // Fills each slot that is still empty with the images for `layout`
    // (those of another layout are freed first); true when the background
    // is there.
    [[nodiscard]] bool Load(HMODULE module, const OsdLayout& layout);
    void Free() noexcept;

    Gdiplus::Bitmap* Background() const noexcept { return background_.get(); }
    Gdiplus::Bitmap* Button(int slot) const noexcept;

  private:
    std::unique_ptr<Gdiplus::Bitmap> background_;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, 3> buttons_;
    // The artwork scale and sizes the loaded images are for.
    int artworkPercent_ = 0;
    int glyphSize_ = 0;
    int buttonSize_ = 0;
};

}  // namespace lensbeacon::indicator
