// Memory device contexts of the settings program. Every memory DC made here
// owns the bitmap selected into it: deleting the DC frees that bitmap too.
// Handles that several slots share are deleted once.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <span>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::settings {

// Deletes a memory DC and the bitmap selected into it. GDI does not free a
// selected bitmap with its DC, so the bitmap is taken first and deleted once
// the DC is gone. A null DC is ignored.
void DeleteMemoryDC(HDC dc) noexcept;

// A memory DC that owns its selected bitmap.
using MemoryDc = UniqueOwner<HDC, DeleteMemoryDC>;

// A screen-compatible memory DC with a screen-compatible bitmap of width by
// height selected into it; empty when a step fails or a side is not positive.
[[nodiscard]] MemoryDc CreateMemoryDC(int width, int height) noexcept;

// Clears every entry that equals an earlier one, so that each distinct
// non-null handle is listed once. Returns the number of handles left.
template <typename Handle>
std::size_t ClearRepeatedHandles(std::span<Handle> handles) noexcept {
    std::size_t left = 0;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        if (handles[i] == Handle{}) {
            continue;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (handles[j] == handles[i]) {
                handles[i] = Handle{};
                break;
            }
        }
        if (handles[i] != Handle{}) {
            ++left;
        }
    }
    return left;
}

// Deletes each distinct non-null handle once with `release` and empties every
// slot, however the slots share handles.
template <typename Handle, typename Release>
void ReleaseDistinctHandles(std::span<Handle> handles, Release&& release) {
    ClearRepeatedHandles(handles);
    for (Handle& handle : handles) {
        if (handle != Handle{}) {
            release(handle);
            handle = Handle{};
        }
    }
}

// The switch track's 2 rows x 3 states (normal, hot, pressed) of pictures.
template <typename Handle>
using TrackHandles = std::array<std::array<Handle, 3>, 2>;

// Fills missing track pictures by sharing handles: inside each row, state 2
// takes state 1 (or state 0 when state 1 is empty) and state 1 takes state 0;
// a row that is wholly empty takes the other row's three handles.
template <typename Handle>
void ShareMissingTrackHandles(TrackHandles<Handle>& track) noexcept {
    for (auto& row : track) {
        if (row[2] == Handle{}) {
            row[2] = row[1] != Handle{} ? row[1] : row[0];
        }
        if (row[1] == Handle{}) {
            row[1] = row[0];
        }
    }
    const auto empty = [](const std::array<Handle, 3>& row) {
        return row[0] == Handle{} && row[1] == Handle{} && row[2] == Handle{};
    };
    if (empty(track[1])) {
        track[1] = track[0];
    } else if (empty(track[0])) {
        track[0] = track[1];
    }
}

// Flicker-free drawing for one paint pass: callers draw into this DC in the
// target's coordinates and the destructor copies the rectangle to the target.
// Over a printer DC it draws straight into the target instead.
class CMemDC2 {
  public:
    // An empty rectangle (all four values 0) stands for the target's clip box.
    CMemDC2(HDC target, const RECT& rect) noexcept;
    ~CMemDC2();
    CMemDC2(const CMemDC2&) = delete;
    CMemDC2& operator=(const CMemDC2&) = delete;

    // The DC to draw into: the memory DC, or the target over a printer.
    HDC get() const noexcept { return inUse_ ? memory_.get() : target_; }
    operator HDC() const noexcept { return get(); }
    const RECT& rect() const noexcept { return rect_; }
    // False when the target is a printer DC (or the memory DC failed).
    bool usesMemoryDc() const noexcept { return inUse_; }

  private:
    UniqueBitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    HDC target_;
    RECT rect_{};
    bool inUse_ = false;
    UniqueMemoryDc memory_;
};

}  // namespace lensbeacon::settings
