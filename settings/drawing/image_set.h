// The images the settings program is drawn from: PNG files compiled in as
// resources of type "IMAGE", named by strings.
#pragma once

#include <cstddef>

namespace lensbeacon::settings {

// The custom resource type of every image.
inline constexpr wchar_t kImageResourceType[] = L"IMAGE";

// Load modes of LoadImageResource.
inline constexpr int kLoadNatural = 0;  // natural size, never scaled
inline constexpr int kLoadScaled = 2;   // each side scaled by the given factor

inline constexpr wchar_t kImageBackground[] = L"BKGND";
inline constexpr wchar_t kImageCloseNormal[] = L"BTN_CLOSE_NORMAL";
inline constexpr wchar_t kImageCloseDown[] = L"BTN_CLOSE_DOWN";
inline constexpr wchar_t kImageSliderTrackNormal[] = L"SLIDER_BKGND_NORMAL";
inline constexpr wchar_t kImageSliderTrackDown[] = L"SLIDER_BKGND_DOWN";
inline constexpr wchar_t kImageSliderKnob[] = L"SLIDER_BTN_NORMAL";
inline constexpr wchar_t kImageShadowLeft[] = L"SHADOW_LEFT";
inline constexpr wchar_t kImageShadowRight[] = L"SHADOW_RIGHT";
inline constexpr wchar_t kImageShadowTop[] = L"SHADOW_TOP";
inline constexpr wchar_t kImageShadowBottom[] = L"SHADOW_BOTTOM";

// One image: its resource name, natural size, whether it carries alpha, and
// the mode its users load it with.
struct ImageInfo {
    const wchar_t* name;
    int width;
    int height;
    bool hasAlpha;
    int loadMode;
};

inline constexpr ImageInfo kImageSet[] = {
    {kImageBackground, 377, 182, false, kLoadScaled},
    {kImageCloseNormal, 34, 34, true, kLoadNatural},
    {kImageCloseDown, 34, 34, true, kLoadNatural},
    {kImageSliderTrackNormal, 100, 34, true, kLoadScaled},
    {kImageSliderTrackDown, 100, 34, true, kLoadScaled},
    {kImageSliderKnob, 53, 34, true, kLoadScaled},
    {kImageShadowLeft, 9, 182, true, kLoadScaled},
    {kImageShadowRight, 9, 182, true, kLoadScaled},
    {kImageShadowTop, 395, 9, true, kLoadScaled},
    {kImageShadowBottom, 395, 9, true, kLoadScaled},
};

inline constexpr std::size_t kImageCount = sizeof(kImageSet) / sizeof(kImageSet[0]);

}  // namespace lensbeacon::settings
