// The description of the one bitmap format the window programs draw in: a
// 32-bit BGRA DIB without palette.
#pragma once

#include <windows.h>

namespace lensbeacon {

// A 32-bit BI_RGB DIB of width by |height| pixels; a negative height makes
// the rows top-down, as the DIB convention has it.
inline BITMAPINFO Bitmap32Info(LONG width, LONG height) noexcept {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace lensbeacon
