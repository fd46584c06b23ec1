// Test helper: reads pixels back from the screen and saves them as PNG files.
// Under Xvfb a layered window's colours reach the screen with its alpha
// ignored, so what is read is the window's premultiplied colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lensbeacon::test {

struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// The screen's pixels inside `area` (screen coordinates); empty on failure.
ScreenPixels CaptureScreen(const RECT& area);

// Writes `image` as an opaque 24-bit PNG at `path`, each pixel repeated
// `scale` times in both directions; false when it could not be written.
bool SavePng(const ScreenPixels& image, const std::wstring& path, int scale = 1);

// Pixels inside (left, top)-(right, bottom) of `image` that are bright in all
// three channels: the indicator's white glyph and caption text. Both counts
// clip the area to the image.
int BrightPixels(const ScreenPixels& image, int left, int top, int right, int bottom);

// Pixels of exactly this 0xRRGGBB colour in the area.
int PixelsOf(std::uint32_t colour, const ScreenPixels& image, int left, int top, int right,
             int bottom);

// A capture of the indicator as a desktop of `grey` shows it. Every pixel the
// indicator draws is white premultiplied by its alpha, so on a screen that
// ignores alpha each pixel's brightest channel is its alpha, and the
// composite is exact.
ScreenPixels IndicatorOverGrey(const ScreenPixels& image, std::uint8_t grey = 0x80);

// Whether a capture of the indicator's 128 x 75 window shows its white glyph.
bool IndicatorGlyphIn(const ScreenPixels& image);

// The folder the test run keeps its pictures in (LENSBEACON_SCREENSHOTS, a
// Unix path, as a Windows path ending in a backslash); empty when unset.
std::wstring ScreenshotFolder();

}  // namespace lensbeacon::test
