#include "winframe/paint_dc.h"

namespace lensbeacon::winframe {

PaintDc::PaintDc(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}

PaintDc::~PaintDc() {
    ::EndPaint(window_, &paint_);
}

}  // namespace lensbeacon::winframe
