// One paint pass of a window: BeginPaint when made, EndPaint when it goes,
// so that no path through a WM_PAINT handler leaves the window unvalidated.
#pragma once

#include <windows.h>

namespace lensbeacon::winframe {

class PaintDc {
  public:
    explicit PaintDc(HWND window) noexcept;
    ~PaintDc();
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    // The paint DC, null when BeginPaint gave none.
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
    // The rectangle to be painted.
    const RECT& Area() const noexcept { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace lensbeacon::winframe
