// Scaling a premultiplied 32-bit image down with a box filter: each target
// pixel is the mean of the source area it covers, weighted by how much of
// each source pixel lies in it. An even area stays exactly as it is (the
// nearly transparent pixels that catch the pointer keep their alpha), and
// edges blend as they would when seen from farther away.
#pragma once

#include <cstdint>
#include <span>

namespace lensbeacon::indicator {

// Scales `source` (sourceWidth x sourceHeight pixels, rows top-down, four
// 8-bit channels each) into `target` (targetWidth x targetHeight). False,
// with the target untouched, when a size is not positive, the target is
// larger than the source on either axis, or a buffer is too small.
bool ShrinkImage(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                 std::span<std::uint32_t> target, int targetWidth, int targetHeight);

}  // namespace lensbeacon::indicator
