// The switch's pictures: the track's looks and the knob loaded once over the
// dialog's background, the pictures of the track's cross-fade, and the
// composing of track and knob into the back buffer.
#include "controls/selector_wnd.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <utility>

#include "drawing/drawing.h"

namespace lensbeacon::settings {
namespace {

// The pixel size of a decoded image, kept within the coordinate range; none
// when it cannot be read or is empty.
std::optional<SIZE> ImageSize(IWICBitmapSource* image) {
    UINT w = 0;
    UINT h = 0;
    if (image == nullptr || FAILED(image->GetSize(&w, &h)) || w == 0 || h == 0) {
        return std::nullopt;
    }
    return SIZE{ClampCoordinate(static_cast<int>(std::min<UINT>(w, 32767u))),
                ClampCoordinate(static_cast<int>(std::min<UINT>(h, 32767u)))};
}

}  // namespace

HDC CSelectorWndEx2::TrackPictures::At(int row, int state) const noexcept {
    if (row < 0 || row > 1 || state < 0 || state > 2) {
        return nullptr;
    }
    return slots_[static_cast<std::size_t>(row)][static_cast<std::size_t>(state)];
}

void CSelectorWndEx2::TrackPictures::Release() noexcept {
    std::array<HDC, 6> all{};
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = std::exchange(slots_[i / 3][i % 3], nullptr);
    }
    ReleaseDistinctHandles(std::span<HDC>(all), DeleteMemoryDC);
}

void CSelectorWndEx2::LoadImages(float scale) {
    windowDc_.emplace(Handle());
    // Without a back buffer nothing is drawn or shown (every use tests it).
    backBuffer_ = CreateMemoryDC(layout_.width, layout_.height);

    // The track is composed over the part of the background it covers.
    using Microsoft::WRL::ComPtr;
    ComPtr<IWICBitmap> trackImage;
    std::optional<SIZE> trackSize;
    if (SUCCEEDED(LoadImageBitmap(kImageSliderTrackNormal, scale, kLoadScaled, &trackImage))) {
        trackSize = ImageSize(trackImage.Get());
    }
    if (trackSize) {
        layout_.trackWidth = trackSize->cx;
        layout_.trackHeight = trackSize->cy;
        // A picture whose drawing failed still holds the background patch and
        // is used as it is (`complete` is not asked); one that could not be
        // made stays empty, and an empty look takes another look's picture
        // below.
        track_.Slots()[0][kSelectorNormal] =
            ComposeImageOverBackground(trackImage.Get(), background_, x_ + layout_.trackX,
                                       y_ + layout_.trackY)
                .picture.release();
        track_.Slots()[0][kSelectorPressed] =
            LoadImageOverBackground(kImageSliderTrackDown, scale, background_, x_ + layout_.trackX,
                                    y_ + layout_.trackY)
                .picture.release();
    }
    if (track_.At(0, kSelectorNormal) == nullptr) {
        // No picture of the normal look: the track keeps size and place 0
        // and nothing of it is drawn.
        track_.Release();
        layout_.trackX = layout_.trackY = layout_.trackWidth = layout_.trackHeight = 0;
    }

    ComPtr<IWICBitmap> knobImage;
    if (SUCCEEDED(LoadImageBitmap(kImageSliderKnob, scale, kLoadScaled, &knobImage))) {
        if (const std::optional<SIZE> knobSize = ImageSize(knobImage.Get())) {
            knob_ = BitmapToMemoryDC(knobImage.Get());
            // Without its picture the knob keeps size 0 and is not drawn.
            layout_.knobWidth = knob_ ? knobSize->cx : 0;
            layout_.knobHeight = knob_ ? knobSize->cy : 0;
        }
    }

    ShareMissingTrackHandles(track_.Slots());
    MakeFadePictures();
}

void CSelectorWndEx2::MakeFadePictures() {
    const auto& row = track_.Slots()[0];
    if (row[0] == row[1] && row[1] == row[2]) {
        return;  // one look only: changes show at once
    }
    for (auto& pictures : fade_) {
        for (auto& picture : pictures) {
            picture = CreateMemoryDC(layout_.trackWidth, layout_.trackHeight);
            if (!picture) {
                // A fade with missing pictures would show garbage: no fade.
                for (auto& all : fade_) {
                    for (auto& one : all) {
                        one.reset();
                    }
                }
                return;
            }
        }
    }
}

void CSelectorWndEx2::ReleaseImages() noexcept {
    track_.Release();
    for (auto& pictures : fade_) {
        for (auto& picture : pictures) {
            picture.reset();
        }
    }
    knob_.reset();
    backBuffer_.reset();
    layout_.trackX = layout_.trackY = layout_.trackWidth = layout_.trackHeight = 0;
    layout_.knobWidth = layout_.knobHeight = 0;
}

void CSelectorWndEx2::LoadFadeTarget(int state) {
    for (int row = 0; row < 2; ++row) {
        HDC to = fade_[row][kTo].get();
        HDC source = track_.At(row, state);
        if (to != nullptr && source != nullptr) {
            ::BitBlt(to, 0, 0, layout_.trackWidth, layout_.trackHeight, source, 0, 0, SRCCOPY);
        }
    }
}

void CSelectorWndEx2::KeepShownTrack() {
    for (auto& row : fade_) {
        if (row[kFrom] && row[kBlended]) {
            ::BitBlt(row[kFrom].get(), 0, 0, layout_.trackWidth, layout_.trackHeight,
                     row[kBlended].get(), 0, 0, SRCCOPY);
        }
    }
}

void CSelectorWndEx2::DrawTrack(const TrackDrawing& drawing) {
    if (!backBuffer_) {
        return;
    }
    HDC back = backBuffer_.get();
    if (drawing.refreshBackground && background_ != nullptr) {
        ::BitBlt(back, 0, 0, layout_.width, layout_.height, background_, x_, y_, SRCCOPY);
    }
    if (layout_.trackWidth <= 0 || layout_.trackHeight <= 0) {
        return;
    }
    const bool fading = HasFadePictures();
    const BYTE alpha = static_cast<BYTE>(std::clamp(drawing.alpha, 0, 255));
    HDC sources[2] = {nullptr, nullptr};
    for (int row = 0; row < 2; ++row) {
        HDC blended = fade_[row][kBlended].get();
        if (drawing.blend && fading) {
            BlendOverlay(fade_[row][kFrom].get(), alpha, layout_.trackHeight, layout_.trackWidth,
                         blended, fade_[row][kTo].get());
            sources[row] = blended;
            continue;
        }
        sources[row] = track_.At(row, drawing.state);
        if (fading && sources[row] != nullptr) {
            // What the screen is about to show, for the next fade to start from.
            ::BitBlt(blended, 0, 0, layout_.trackWidth, layout_.trackHeight, sources[row], 0, 0,
                     SRCCOPY);
        }
    }
    const int split = std::clamp(drawing.split, 0, layout_.trackWidth);
    if (sources[0] != nullptr) {
        ::BitBlt(back, layout_.trackX + split, layout_.trackY, layout_.trackWidth - split,
                 layout_.trackHeight, sources[0], split, 0, SRCCOPY);
    }
    if (sources[1] != nullptr) {
        ::BitBlt(back, layout_.trackX, layout_.trackY, split, layout_.trackHeight, sources[1], 0, 0,
                 SRCCOPY);
    }
}

void CSelectorWndEx2::DrawKnob(int x, int y) {
    if (!backBuffer_ || !knob_ || layout_.knobWidth <= 0 || layout_.knobHeight <= 0) {
        return;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(backBuffer_.get(), x, y, layout_.knobWidth, layout_.knobHeight, knob_.get(), 0, 0,
                 layout_.knobWidth, layout_.knobHeight, blend);
}

}  // namespace lensbeacon::settings
