// The real indicator, LenspopUI, on a display of 144 dots per inch (150 %):
// the window, its glyph, its caption and its close button where the scaled
// layout puts them, read back from the screen and used with the pointer; and
// captions in other languages fitted into the scaled band.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "indicator_window.h"
#include "installed_suite.h"
#include "language_start.h"
#include "lensbeacon/localized_texts.h"
#include "lensbeacon/names.h"
#include "pointer_input.h"
#include "probe_programs.h"
#include "screen_capture.h"
#include "stand_in_events.h"

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kAppear = 20s;
// Where a new process reads the screen's dots per inch at its start.
constexpr wchar_t kDpiKey[] =
    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";
constexpr DWORD kDpi = 144;
// The 96-dpi layout times 1.5, rounded: (int)(value * 1.5 + 0.5).
constexpr int kWidth = 192;       // 128
constexpr int kHeight = 113;      // 75
constexpr int kGlyphLeft = 51;    // 34
constexpr int kGlyphSize = 90;    // 60
constexpr int kCaptionTop = 78;   // 52
constexpr int kCaptionInset = 6;  // 4
constexpr int kButtonLeft = 141;  // 192 - 51
constexpr int kButtonTop = 23;    // 15
constexpr int kMarkSize = 23;     // the 15-pixel "X"
constexpr int kDefaultX = 864;    // (1920 - 192) / 2
constexpr int kDefaultY = 14;     // 9
// The caption band, white at alpha 1, reads as (1, 1, 1) on the screen.
constexpr std::uint32_t kCaptionBand = 0x010101;

// The window at its place on the screen, with its caption band drawn (the
// band's left end, where no caption reaches, shows it).
bool CaptionShown(ScreenPixels& image) {
    RECT rect{};
    if (!::GetWindowRect(FindIndicator(), &rect)) {
        return false;
    }
    image = CaptureScreen(rect);
    return image.width == kWidth && image.height == kHeight &&
           PixelsOf(kCaptionBand, image, 0, kHeight - 6, 3, kHeight) == 3 * 6;
}

// The caption's ink lies in the band, clear of its scaled ends.
void ExpectCaptionInk(const ScreenPixels& image, const char* what) {
    EXPECT_GT(BrightPixels(image, kCaptionInset, kCaptionTop, kWidth - kCaptionInset, kHeight), 20)
        << "no caption text, " << what;
    EXPECT_EQ(BrightPixels(image, 0, kCaptionTop, kCaptionInset, kHeight), 0)
        << "ink at the band's left end, " << what;
    EXPECT_EQ(BrightPixels(image, kWidth - kCaptionInset, kCaptionTop, kWidth, kHeight), 0)
        << "ink at the band's right end, " << what;
}

// The close button's light "X" at its scaled place.
bool CloseButtonDrawn() {
    RECT rect{};
    if (!::GetWindowRect(FindIndicator(), &rect)) {
        return false;
    }
    const ScreenPixels image = CaptureScreen(rect);
    return image.width == kWidth &&
           BrightPixels(image, kButtonLeft, kButtonTop, kButtonLeft + kMarkSize,
                        kButtonTop + kMarkSize) > 20;
}

void SaveShot(const ScreenPixels& image, const std::wstring& name) {
    const std::wstring folder = ScreenshotFolder();
    if (!folder.empty()) {
        EXPECT_TRUE(SavePng(IndicatorOverGrey(image), folder + name, 4)) << "not saved";
    }
}

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

class IndicatorAt144Dpi : public ::testing::Test {
  protected:
    // One setting for all the tests here, written before the first start
    // and removed (the prefix back at 96) after the last. Only the value is
    // ours: Wine's own font set-up rewrites the rest of the key whenever a
    // process starts under another locale.
    static void SetUpTestSuite() {
        const DWORD dpi = kDpi;
        ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kDpiKey, L"LogPixels", REG_DWORD, &dpi,
                                    sizeof(dpi)),
                  ERROR_SUCCESS);
    }
    static void TearDownTestSuite() {
        EXPECT_EQ(::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kDpiKey, L"LogPixels"), ERROR_SUCCESS);
    }
    ~IndicatorAt144Dpi() override { events.EndIndicators(L"LenspopUI.exe"); }

    // LenspopUI in `language`, shown, once its window exists.
    void Show(int language) {
        ASSERT_TRUE(StartInLanguage(language, Quoted(suite.folder() + L"LenspopUI.exe")));
        ASSERT_TRUE(WaitUntil([] { return FindIndicator() != nullptr; }, kAppear))
            << "no indicator window, language " << language;
        events.CameraOn();
        ASSERT_TRUE(WaitUntil(IndicatorVisible, kAppear)) << "not shown, language " << language;
    }

    InstalledSuite suite{L"LenspopUI.exe", L"Lensmemo.dll"};
    StandInEvents events;
};

TEST_F(IndicatorAt144Dpi, EverythingIsDrawnAndHitAtOneAndAHalfTimesItsSize) {
    Show(kLanguageEnglish);
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(FindIndicator(), &rect));
    EXPECT_EQ(rect.right - rect.left, kWidth);
    EXPECT_EQ(rect.bottom - rect.top, kHeight);
    EXPECT_EQ(rect.left, kDefaultX);
    EXPECT_EQ(rect.top, kDefaultY);

    ScreenPixels shown;
    ASSERT_TRUE(WaitUntil([&] { return CaptionShown(shown); }, 5s)) << "no caption band";
    // The glyph fills its scaled square and nothing beside it; the caption
    // band starts under it.
    const int glyphRight = kGlyphLeft + kGlyphSize;
    EXPECT_GT(BrightPixels(shown, kGlyphLeft, 0, glyphRight, kGlyphSize), 2700) << "no glyph";
    EXPECT_LT(BrightPixels(shown, kGlyphLeft, 0, glyphRight, kGlyphSize), 7600)
        << "no camera cut out of the square";
    // The white square sits 9 pixels into the glyph (6 at 96 dpi) and ends
    // 9 before its right edge.
    EXPECT_EQ(BrightPixels(shown, 0, 0, kGlyphLeft + 8, kCaptionTop), 0)
        << "ink left of the glyph's square";
    EXPECT_GT(BrightPixels(shown, kGlyphLeft + 9, 0, kGlyphLeft + 12, kCaptionTop), 100)
        << "the square's left edge is not at " << kGlyphLeft + 9;
    EXPECT_EQ(BrightPixels(shown, glyphRight - 8, 0, kWidth, kCaptionTop), 0)
        << "ink right of the glyph's square";
    // The band: from row 78 down, and not above it.
    EXPECT_EQ(PixelsOf(kCaptionBand, shown, 0, kCaptionTop, 40, kHeight),
              40 * (kHeight - kCaptionTop))
        << "no caption band from row " << kCaptionTop;
    EXPECT_EQ(PixelsOf(kCaptionBand, shown, 0, kCaptionTop - 4, 40, kCaptionTop), 0)
        << "the band starts above " << kCaptionTop;
    ExpectCaptionInk(shown, "English");
    SaveShot(shown, L"indicator_144dpi.png");

    // Over the glyph, the close button appears at its scaled place; a click
    // on it, outside where the 96-dpi button would be, hides the indicator.
    ASSERT_TRUE(MoveTo(rect.left + kGlyphLeft + 45, rect.top + 45));
    ASSERT_TRUE(WaitUntil(CloseButtonDrawn, 5s)) << "no close button at its scaled place";
    ASSERT_TRUE(MoveTo(rect.left + kButtonLeft + 11, rect.top + kButtonTop + 11));
    ASSERT_TRUE(ClickAt(rect.left + kButtonLeft + 11, rect.top + kButtonTop + 11));
    EXPECT_TRUE(WaitUntil([] { return !IndicatorVisible(); }, 5s)) << "the close button failed";
}

TEST_F(IndicatorAt144Dpi, CaptionsInOtherLanguagesFitTheScaledBand) {
    const struct {
        int language;
        const wchar_t* picture;
    } shots[] = {{kLanguageJapanese, L"indicator_144dpi_language_08.png"},
                 {kLanguageArabic, L"indicator_144dpi_language_13.png"},
                 {5, L"indicator_144dpi_language_05.png"},    // German
                 {12, L"indicator_144dpi_language_12.png"}};  // Russian
    for (const auto& shot : shots) {
        Show(shot.language);
        ScreenPixels image;
        EXPECT_TRUE(WaitUntil([&] { return CaptionShown(image); }, 5s))
            << "no caption band, language " << shot.language;
        ExpectCaptionInk(image, "another language");
        EXPECT_GT(BrightPixels(image, kGlyphLeft, 0, kGlyphLeft + kGlyphSize, kGlyphSize), 2700);
        SaveShot(image, shot.picture);
        events.EndIndicators(L"LenspopUI.exe");
    }
}

}  // namespace
}  // namespace lensbeacon::test
