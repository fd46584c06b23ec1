// The settings drawing toolbox's decisions: the scale rounding, the registry
// of drawing users, the sharing of track pictures and their release, and the
// text style record.
#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "drawing/drawing_resources.h"
#include "drawing/image_set.h"
#include "drawing/memory_dc.h"
#include "drawing/scale.h"
#include "drawing/text_drawing.h"

namespace lensbeacon::settings {
namespace {

HWND FakeWindow(std::uintptr_t id) {
    return reinterpret_cast<HWND>(id);
}

TEST(SettingsScale, ImageSidesAtBothScales) {
    // Natural size at 1.0; each side rounded at 1.25, as the dialog lays out.
    const std::map<std::wstring, std::pair<int, int>> at125 = {
        {kImageBackground, {471, 228}},     {kImageSliderTrackNormal, {125, 43}},
        {kImageSliderTrackDown, {125, 43}}, {kImageSliderKnob, {66, 43}},
        {kImageShadowLeft, {11, 228}},      {kImageShadowRight, {11, 228}},
        {kImageShadowTop, {494, 11}},       {kImageShadowBottom, {494, 11}},
    };
    for (const ImageInfo& image : kImageSet) {
        EXPECT_EQ(ScaleValue(image.width, 1.0f), image.width) << image.name;
        EXPECT_EQ(ScaleValue(image.height, 1.0f), image.height) << image.name;
        const auto expected = at125.find(image.name);
        if (expected == at125.end()) {
            EXPECT_EQ(image.loadMode, kLoadNatural) << image.name;
            continue;
        }
        EXPECT_EQ(image.loadMode, kLoadScaled) << image.name;
        EXPECT_EQ(ScaleValue(image.width, 1.25f), expected->second.first) << image.name;
        EXPECT_EQ(ScaleValue(image.height, 1.25f), expected->second.second) << image.name;
    }
    EXPECT_EQ(kImageCount, 10u);
}

TEST(SettingsScale, RoundsHalfUpTruncatesAndClamps) {
    EXPECT_EQ(ScaleValue(2, 1.25f), 3);    // 2.5 + 0.5
    EXPECT_EQ(ScaleValue(6, 1.25f), 8);    // 7.5 + 0.5
    EXPECT_EQ(ScaleValue(-3, 1.25f), -3);  // -3.25 truncates toward zero
    EXPECT_EQ(ScaleValue(0x7fffffff, 1.25f), 0x7fffffff);
    EXPECT_EQ(ScaleValue(-0x7fffffff, 1.25f), -0x7fffffff - 1);

    const float saved = g_scale;
    g_scale = 1.25f;
    EXPECT_EQ(Scaled(343), 429);
    g_scale = 1.0f;
    EXPECT_EQ(Scaled(343), 343);
    g_scale = saved;
}

// Counts what the registry releases, and in which order.
class FakeResourceOwner final : public DrawingResourceOwner {
  public:
    void ReleaseTextFactory() noexcept override { calls.push_back("text"); }
    void ReleaseImageResources() noexcept override { calls.push_back("images"); }
    std::vector<std::string> calls;
};

TEST(DrawingUserRegistry, ReleasesExactlyWhenTheLastUserLeaves) {
    DrawingUserRegistry registry;
    FakeResourceOwner owner;
    EXPECT_TRUE(registry.Register(FakeWindow(1)));  // the dialog
    EXPECT_TRUE(registry.Register(FakeWindow(2)));  // a button
    EXPECT_TRUE(registry.Register(FakeWindow(2)));  // twice: one entry
    EXPECT_EQ(registry.Count(), 2);

    registry.Unregister(FakeWindow(7), owner);  // not listed
    registry.Unregister(nullptr, owner);
    EXPECT_EQ(registry.Count(), 2);
    registry.Unregister(FakeWindow(1), owner);
    EXPECT_TRUE(owner.calls.empty());
    EXPECT_TRUE(registry.Contains(FakeWindow(2)));

    registry.Unregister(FakeWindow(2), owner);
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"text", "images"}));
    registry.Unregister(FakeWindow(2), owner);  // empty table: nothing again
    EXPECT_EQ(owner.calls.size(), 2u);

    // Registering again after the release starts a new life.
    EXPECT_TRUE(registry.Register(FakeWindow(3)));
    registry.Unregister(FakeWindow(3), owner);
    EXPECT_EQ(owner.calls.size(), 4u);
}

TEST(DrawingUserRegistry, SeventeenthWindowIsNotListed) {
    DrawingUserRegistry registry;
    FakeResourceOwner owner;
    for (std::uintptr_t id = 1; id <= 16; ++id) {
        EXPECT_TRUE(registry.Register(FakeWindow(id)));
    }
    EXPECT_FALSE(registry.Register(FakeWindow(17)));
    EXPECT_FALSE(registry.Register(nullptr));
    EXPECT_EQ(registry.Count(), 16);
    registry.Unregister(FakeWindow(17), owner);
    EXPECT_EQ(registry.Count(), 16);

    // Removing from the middle moves the last entry into the gap.
    registry.Unregister(FakeWindow(5), owner);
    EXPECT_FALSE(registry.Contains(FakeWindow(5)));
    EXPECT_TRUE(registry.Contains(FakeWindow(16)));
    for (std::uintptr_t id = 1; id <= 16; ++id) {
        registry.Unregister(FakeWindow(id), owner);
    }
    EXPECT_EQ(registry.Count(), 0);
    EXPECT_EQ(owner.calls.size(), 2u);
}

TEST(DrawingUserRegistry, ProcessRegistryReleasesTheSharedResources) {
    // No factories here: only the count and the absent state are observable.
    RegisterDrawingUser(FakeWindow(11));
    RegisterDrawingUser(FakeWindow(12));
    EXPECT_EQ(DrawingUserCount(), 2);
    UnregisterDrawingUser(FakeWindow(11));
    UnregisterDrawingUser(FakeWindow(12));
    EXPECT_EQ(DrawingUserCount(), 0);
    EXPECT_FALSE(DrawingResources().d2dFactory);
    EXPECT_FALSE(DrawingResources().writeFactory);
}

using FakeTrack = TrackHandles<int>;

// Releases through a counting fake: how often each handle was deleted.
std::map<int, int> ReleaseCounts(std::span<int> handles) {
    std::map<int, int> deleted;
    ReleaseDistinctHandles(handles, [&deleted](int handle) { ++deleted[handle]; });
    return deleted;
}

TEST(SharedTrackHandles, FillRuleSharesMissingPictures) {
    FakeTrack track{{{1, 0, 3}, {0, 0, 0}}};  // normal and pressed loaded
    ShareMissingTrackHandles(track);
    EXPECT_EQ(track, (FakeTrack{{{1, 1, 3}, {1, 1, 3}}}));

    FakeTrack onlyNormal{{{1, 0, 0}, {0, 0, 0}}};
    ShareMissingTrackHandles(onlyNormal);
    EXPECT_EQ(onlyNormal, (FakeTrack{{{1, 1, 1}, {1, 1, 1}}}));

    FakeTrack hot{{{1, 2, 0}, {4, 0, 0}}};
    ShareMissingTrackHandles(hot);
    EXPECT_EQ(hot, (FakeTrack{{{1, 2, 2}, {4, 4, 4}}}));
}

TEST(SharedTrackHandles, EachDistinctHandleIsDeletedOnce) {
    FakeTrack track{{{1, 0, 3}, {0, 0, 0}}};
    ShareMissingTrackHandles(track);
    // Track pictures and the transition pictures, released together.
    int handles[] = {track[0][0], track[0][1], track[0][2], track[1][0], track[1][1], track[1][2],
                     10,          11,          12,          13,          14,          15};
    const auto deleted = ReleaseCounts(handles);
    EXPECT_EQ(deleted, (std::map<int, int>{
                           {1, 1}, {3, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}, {14, 1}, {15, 1}}));
    for (int handle : handles) {
        EXPECT_EQ(handle, 0);
    }

    // Sharing across rows without the rows being equal entry by entry is
    // still deleted once per handle.
    int crossed[] = {1, 1, 1, 1, 2, 2};
    EXPECT_EQ(ReleaseCounts(crossed), (std::map<int, int>{{1, 1}, {2, 1}}));

    int none[] = {0, 0};
    EXPECT_TRUE(ReleaseCounts(none).empty());
}

TEST(SettingsTextStyle, FamilySizeAndDirectionPerLanguage) {
    const float savedFontScale = g_fontScale;
    g_fontScale = 1.25f;

    const std::optional<TextStyle> filledEnglish = FillTextStyleFor(kTextStyleBody, 1);
    ASSERT_TRUE(filledEnglish.has_value());
    const TextStyle& english = *filledEnglish;
    EXPECT_STREQ(english.family, L"Segoe UI");
    EXPECT_FLOAT_EQ(english.size, 13.0f * 1.25f);
    EXPECT_EQ(english.weight, 400);
    EXPECT_EQ(english.rightToLeft, 0);
    EXPECT_FLOAT_EQ(english.color[0], 0.4f);
    EXPECT_FLOAT_EQ(english.color[3], 1.0f);

    const std::optional<TextStyle> filledJapanese = FillTextStyleFor(kTextStyleSmall, 8);
    ASSERT_TRUE(filledJapanese.has_value());
    const TextStyle& japanese = *filledJapanese;
    EXPECT_STREQ(japanese.family, L"Meiryo");
    EXPECT_FLOAT_EQ(japanese.size, 12.0f * 1.25f);
    EXPECT_EQ(japanese.rightToLeft, 0);

    const std::optional<TextStyle> filledArabic = FillTextStyleFor(kTextStyleBody, 13);
    ASSERT_TRUE(filledArabic.has_value());
    const TextStyle& arabic = *filledArabic;
    EXPECT_STREQ(arabic.family, L"Segoe UI");
    EXPECT_EQ(arabic.rightToLeft, 1);

    // An unknown kind gives no style, in any language.
    EXPECT_FALSE(FillTextStyleFor(3, 13).has_value());
    EXPECT_FALSE(FillTextStyleFor(0, 1).has_value());

    g_fontScale = savedFontScale;
}

TEST(SettingsTextStyle, LongFamilyIsCutToTheRecord) {
    const std::wstring longName(400, L'x');
    TextStyle style;
    SetTextStyle(&style, longName.c_str(), 10.0f);
    EXPECT_EQ(std::wcslen(style.family), static_cast<std::size_t>(kTextFamilyCapacity - 1));
    SetTextStyle(&style, nullptr, 10.0f);
    EXPECT_EQ(style.family[0], L'\0');
    SetTextStyle(nullptr, L"Segoe UI", 10.0f);  // no record: nothing happens
}

}  // namespace
}  // namespace lensbeacon::settings
