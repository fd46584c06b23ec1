// The real indicator in the user's language, on both desktop kinds, read
// back from the screen and through the accessibility interface. Each
// instance is started in its language (language_start.h), found by its
// window or on the screen, and ended with the Service event.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "accessibility_probe.h"
#include "indicator_window.h"
#include "installed_suite.h"
#include "language_start.h"
#include "lensbeacon/indicator_words.h"
#include "lensbeacon/localized_texts.h"
#include "lensbeacon/names.h"
#include "probe_programs.h"
#include "screen_capture.h"
#include "stand_in_events.h"

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kAppear = 20s;
constexpr int kWidth = 128;
constexpr int kHeight = 75;
constexpr int kDefaultX = 896;
constexpr int kDefaultY = 9;
// The caption band, white at alpha 1, reads as (1, 1, 1) on the screen.
constexpr std::uint32_t kCaptionBand = 0x010101;
constexpr int kCaptionTop = 52;
constexpr int kCaptionInset = 4;

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// A capture of the window at `area` while its caption band is drawn (the
// band's left edge, where no caption reaches, shows it).
bool CaptionShownIn(const RECT& area, ScreenPixels& image) {
    image = CaptureScreen(area);
    return image.width == kWidth && image.height == kHeight &&
           PixelsOf(kCaptionBand, image, 0, 70, 2, kHeight) == 2 * (kHeight - 70) &&
           IndicatorGlyphIn(image);
}

// The caption's ink: inside the band, clear of its ends, and not the
// English caption's pixels for another language.
void ExpectCaptionInk(const ScreenPixels& image, const wchar_t* what) {
    EXPECT_GT(BrightPixels(image, kCaptionInset, 60, kWidth - kCaptionInset, kHeight), 10)
        << "no caption text, " << what;
    EXPECT_EQ(BrightPixels(image, 0, kCaptionTop, kCaptionInset, kHeight), 0)
        << "ink at the band's left end, " << what;
    EXPECT_EQ(BrightPixels(image, kWidth - kCaptionInset, kCaptionTop, kWidth, kHeight), 0)
        << "ink at the band's right end, " << what;
}

// The caption rows of two captures differ somewhere.
bool CaptionsDiffer(const ScreenPixels& a, const ScreenPixels& b) {
    for (int y = 60; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                return true;
            }
        }
    }
    return false;
}

void SaveShot(const ScreenPixels& image, const std::wstring& name) {
    const std::wstring folder = ScreenshotFolder();
    if (!folder.empty()) {
        EXPECT_TRUE(SavePng(IndicatorOverGrey(image), folder + name, 4)) << "not saved";
    }
}

std::wstring Numbered(const wchar_t* prefix, int language) {
    wchar_t name[64];
    ::wsprintfW(name, L"%s_%02d.png", prefix, language);
    return name;
}

class IndicatorLanguages : public ::testing::Test {
  protected:
    // LenspopUI on the user's desktop in `language`: shown, its caption read
    // back while it is drawn, and its accessible name checked.
    ScreenPixels ShowUserDesktop(int language) {
        ScreenPixels image;
        if (!StartInLanguage(language, Quoted(suite.folder() + L"LenspopUI.exe"))) {
            return image;
        }
        EXPECT_TRUE(WaitUntil([] { return FindIndicator() != nullptr; }, kAppear))
            << "no indicator window in language " << language;
        events.CameraOn();
        EXPECT_TRUE(WaitUntil(IndicatorVisible, kAppear)) << "not shown, language " << language;
        RECT rect{};
        EXPECT_TRUE(::GetWindowRect(FindIndicator(), &rect));
        EXPECT_TRUE(WaitUntil([&] { return CaptionShownIn(rect, image); }, 5s))
            << "no caption band, language " << language;
        const AccessibleFacts facts = ClientAccessible(FindIndicator());
        EXPECT_TRUE(facts.read);
        EXPECT_EQ(facts.name, IndicatorWordsFor(language).caption) << "language " << language;
        SaveShot(image, Numbered(L"indicator_language", language));
        events.EndIndicators(L"LenspopUI.exe");
        return image;
    }

    // Lenspop on the logon desktop in `language`, through desktop_starter:
    // out of this test's reach but drawn on the one X screen, at the default
    // place, after its wait for a logon screen Wine does not have.
    ScreenPixels ShowLogonDesktop(int language) {
        ScreenPixels image;
        const std::wstring command = Quoted(TestBinPath(L"desktop_starter.exe")) +
                                     L" WinSta0\\Winlogon " +
                                     Quoted(suite.folder() + L"Lenspop.exe");
        if (!StartInLanguage(language, command)) {
            return image;
        }
        EXPECT_TRUE(WaitUntil([] { return ProcessRunning(L"Lenspop.exe"); }, kAppear))
            << "no logon-desktop indicator, language " << language;
        events.CameraOn();
        const RECT place{kDefaultX, kDefaultY, kDefaultX + kWidth, kDefaultY + kHeight};
        EXPECT_TRUE(WaitUntil([&] { return CaptionShownIn(place, image); }, kAppear))
            << "not shown with its caption, language " << language;
        SaveShot(image, Numbered(L"indicator_logon_language", language));
        events.EndIndicators(L"Lenspop.exe");
        return image;
    }

    StandInEvents events;
    InstalledSuite suite{L"LenspopUI.exe", L"Lenspop.exe", L"Lensmemo.dll"};
};

TEST_F(IndicatorLanguages, TheUserDesktopSpeaksTheUsersLanguage) {
    const ScreenPixels english = ShowUserDesktop(kLanguageEnglish);
    ASSERT_EQ(english.width, kWidth);
    ExpectCaptionInk(english, L"English");
    // Every other language, Japanese and Arabic among them: its own caption
    // inside the band, and the glyph where it always is.
    for (int language = 2; language <= kLanguageCount; ++language) {
        const ScreenPixels image = ShowUserDesktop(language);
        ASSERT_EQ(image.width, kWidth) << language;
        const std::wstring what = L"language " + std::to_wstring(language);
        ExpectCaptionInk(image, what.c_str());
        EXPECT_TRUE(CaptionsDiffer(image, english)) << "English caption in " << language;
        EXPECT_GT(BrightPixels(image, 34, 0, 94, 60), 1200) << language;
        EXPECT_EQ(BrightPixels(image, 0, 0, 34, 52), 0) << language;
    }
}

TEST_F(IndicatorLanguages, TheLogonDesktopSpeaksTheMachinesLanguage) {
    const ScreenPixels english = ShowLogonDesktop(kLanguageEnglish);
    ASSERT_EQ(english.width, kWidth);
    ExpectCaptionInk(english, L"English");
    for (const int language : {kLanguageJapanese, kLanguageArabic}) {
        const ScreenPixels image = ShowLogonDesktop(language);
        ASSERT_EQ(image.width, kWidth);
        ExpectCaptionInk(image, language == kLanguageJapanese ? L"Japanese" : L"Arabic");
        EXPECT_TRUE(CaptionsDiffer(image, english)) << "English caption in " << language;
    }
}

}  // namespace
}  // namespace lensbeacon::test
