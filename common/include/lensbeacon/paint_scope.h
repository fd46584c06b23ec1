// BeginPaint and EndPaint as one scope: the window's update region is
// validated on entry and the paint ended on exit, whatever the scope draws.
#pragma once

#include <windows.h>

namespace lensbeacon {

class PaintScope {
  public:
    explicit PaintScope(HWND window) noexcept
        : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintScope() {
        if (dc_ != nullptr) {
            ::EndPaint(window_, &paint_);
        }
    }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    // The DC to draw on; null when BeginPaint failed.
    HDC dc() const noexcept { return dc_; }
    [[nodiscard]] const PAINTSTRUCT& paint() const noexcept { return paint_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace lensbeacon
