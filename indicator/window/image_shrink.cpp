#include "image_shrink.h"

#include <cstddef>
#include <vector>

namespace lensbeacon::indicator {
namespace {

constexpr int kChannels = 4;

// One axis of the filter: `from` samples of `stride`-spaced channel values
// into `to` samples. Each target sample covers from / to source samples;
// the values are kept in double until the last pass rounds them.
void ShrinkAxis(const double* in, std::size_t inStride, int from, double* out,
                std::size_t outStride, int to) {
    const double span = static_cast<double>(from) / static_cast<double>(to);
    for (int t = 0; t < to; ++t) {
        const double start = t * span;
        const double end = start + span;
        double sums[kChannels] = {};
        for (int s = static_cast<int>(start); s < from && s < end; ++s) {
            const double low = s < start ? start : static_cast<double>(s);
            const double high = s + 1 > end ? end : static_cast<double>(s + 1);
            const double weight = high - low;
            for (int c = 0; c < kChannels; ++c) {
                sums[c] +=
                    in[static_cast<std::size_t>(s) * inStride + static_cast<std::size_t>(c)] *
                    weight;
            }
        }
        for (int c = 0; c < kChannels; ++c) {
            out[static_cast<std::size_t>(t) * outStride + static_cast<std::size_t>(c)] =
                sums[c] / span;
        }
    }
}

}  // namespace

bool ShrinkImage(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                 std::span<std::uint32_t> target, int targetWidth, int targetHeight) {
    if (sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0 ||
        targetWidth > sourceWidth || targetHeight > sourceHeight) {
        return false;
    }
    const auto sw = static_cast<std::size_t>(sourceWidth);
    const auto sh = static_cast<std::size_t>(sourceHeight);
    const auto tw = static_cast<std::size_t>(targetWidth);
    const auto th = static_cast<std::size_t>(targetHeight);
    if (source.size() < sw * sh || target.size() < tw * th) {
        return false;
    }
    std::vector<double> channels(sw * sh * kChannels);
    for (std::size_t i = 0; i < sw * sh; ++i) {
        for (int c = 0; c < kChannels; ++c) {
            channels[i * kChannels + static_cast<std::size_t>(c)] =
                static_cast<double>((source[i] >> (8 * c)) & 0xFFu);
        }
    }
    // Rows first (sw -> tw across each of sh rows), then columns.
    std::vector<double> across(tw * sh * kChannels);
    for (std::size_t y = 0; y < sh; ++y) {
        ShrinkAxis(&channels[y * sw * kChannels], kChannels, sourceWidth,
                   &across[y * tw * kChannels], kChannels, targetWidth);
    }
    std::vector<double> down(tw * th * kChannels);
    for (std::size_t x = 0; x < tw; ++x) {
        ShrinkAxis(&across[x * kChannels], tw * kChannels, sourceHeight, &down[x * kChannels],
                   tw * kChannels, targetHeight);
    }
    for (std::size_t i = 0; i < tw * th; ++i) {
        std::uint32_t pixel = 0;
        for (int c = 0; c < kChannels; ++c) {
            double value = down[i * kChannels + static_cast<std::size_t>(c)] + 0.5;
            value = value < 0.0 ? 0.0 : (value > 255.0 ? 255.0 : value);
            pixel |= static_cast<std::uint32_t>(value) << (8 * c);
        }
        target[i] = pixel;
    }
    return true;
}

}  // namespace lensbeacon::indicator
