// The indicator's language: which interface language each desktop kind asks,
// the table's answer for it, the words of every language, and the words the
// announcement joins names with once a language is chosen.
#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "camera_announcement.h"
#include "indicator_language.h"
#include "lensbeacon/indicator_words.h"
#include "lensbeacon/localized_texts.h"

namespace lensbeacon::indicator {
namespace {

// What the fake sources report, and which of them was asked.
std::uint16_t g_user = 0;
std::uint16_t g_machine = 0;
int g_userCalls = 0;
int g_machineCalls = 0;

std::uint16_t FakeUser() {
    ++g_userCalls;
    return g_user;
}

std::uint16_t FakeMachine() {
    ++g_machineCalls;
    return g_machine;
}

struct SelectionCase {
    bool ordinaryDesktop;
    std::uint16_t user;
    std::uint16_t machine;
    int expected;
};

class IndicatorLanguageSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(IndicatorLanguageSelection, EachDesktopAsksItsOwnLanguage) {
    const SelectionCase& c = GetParam();
    g_user = c.user;
    g_machine = c.machine;
    g_userCalls = 0;
    g_machineCalls = 0;
    EXPECT_EQ(
        SelectIndicatorLanguage(c.ordinaryDesktop, InterfaceLanguages{&FakeUser, &FakeMachine}),
        c.expected);
    // Only the source of this desktop kind is asked.
    EXPECT_EQ(g_userCalls, c.ordinaryDesktop ? 1 : 0);
    EXPECT_EQ(g_machineCalls, c.ordinaryDesktop ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    BothDesktops, IndicatorLanguageSelection,
    ::testing::Values(
        // The user's desktop: the user's interface language.
        SelectionCase{true, 0x0409, 0x0411, kLanguageEnglish},
        SelectionCase{true, 0x0411, 0x0409, kLanguageJapanese},
        SelectionCase{true, 0x0401, 0x0409, kLanguageArabic},
        SelectionCase{true, 0x0C01, 0x0409, kLanguageArabic},
        SelectionCase{true, 0x0C0A, 0x0409, 15},                // Spanish, modern sort
        SelectionCase{true, 0x2C0A, 0x040A, kLanguageEnglish},  // Spanish (Argentina): unlisted
        SelectionCase{true, 0x1009, 0x0407, kLanguageEnglish},  // English (Canada): unlisted
        SelectionCase{true, 0x042A, 0x0409, kLanguageVietnamese},
        SelectionCase{true, 0x0000, 0x0411, kLanguageEnglish},
        // The logon desktop: the machine's interface language.
        SelectionCase{false, 0x0409, 0x0411, kLanguageJapanese},
        SelectionCase{false, 0x0411, 0x0409, kLanguageEnglish},
        SelectionCase{false, 0x0409, 0x0801, kLanguageArabic},
        SelectionCase{false, 0x0407, 0x0807, 5},                 // German (Switzerland)
        SelectionCase{false, 0x0409, 0x100C, kLanguageEnglish},  // French (Switzerland): unlisted
        SelectionCase{false, 0x0409, 0x0421, kLanguageIndonesian}));

TEST(IndicatorLanguage, AMissingSourceCountsAsEnglish) {
    EXPECT_EQ(SelectIndicatorLanguage(true, InterfaceLanguages{nullptr, &FakeMachine}),
              kLanguageEnglish);
    EXPECT_EQ(SelectIndicatorLanguage(false, InterfaceLanguages{&FakeUser, nullptr}),
              kLanguageEnglish);
}

TEST(IndicatorWords, EveryLanguageHasACaptionAndJoiningWords) {
    EXPECT_STREQ(IndicatorWordsFor(kLanguageEnglish).caption, L"Camera on");
    EXPECT_STREQ(IndicatorWordsFor(kLanguageEnglish).namesFormat, L"%1: %2");
    EXPECT_STREQ(IndicatorWordsFor(kLanguageEnglish).nameSeparator, L", ");
    for (int index = 1; index <= kLanguageCount; ++index) {
        const IndicatorWords& words = IndicatorWordsFor(index);
        ASSERT_NE(words.caption, nullptr) << index;
        EXPECT_GT(std::wcslen(words.caption), 0u) << index;
        // A caption of its own in every language but English's own row.
        if (index != kLanguageEnglish) {
            EXPECT_STRNE(words.caption, L"Camera on") << index;
        }
        const std::wstring format = words.namesFormat;
        EXPECT_NE(format.find(L"%1"), std::wstring::npos) << index;
        EXPECT_NE(format.find(L"%2"), std::wstring::npos) << index;
        EXPECT_GT(std::wcslen(words.nameSeparator), 0u) << index;
    }
    // Outside the table: English.
    EXPECT_STREQ(IndicatorWordsFor(0).caption, L"Camera on");
    EXPECT_STREQ(IndicatorWordsFor(kLanguageCount + 1).caption, L"Camera on");
    EXPECT_STREQ(IndicatorWordsFor(-3).caption, L"Camera on");
    // The Vietnamese caption keeps the decomposed form of the table's words.
    EXPECT_STREQ(IndicatorWordsFor(kLanguageVietnamese).caption,
                 L"Camera \u0111ang b\u00E2\u0323t");
    EXPECT_STREQ(IndicatorWordsFor(kLanguageJapanese).caption, L"\u30AB\u30E1\u30E9 \u30AA\u30F3");
}

// The announcement's language is process-wide: each case sets it and puts it
// back, so the other tests of the program keep the resource words.
class AnnouncementLanguage : public ::testing::Test {
  protected:
    void TearDown() override { UseAnnouncementLanguage(0); }
};

TEST_F(AnnouncementLanguage, TheChosenLanguageJoinsTheNames) {
    const std::vector<std::wstring> two{L"Meet", L"WindowsCamera"};
    UseAnnouncementLanguage(kLanguageJapanese);
    EXPECT_EQ(Announcement(IndicatorWordsFor(kLanguageJapanese).caption, L"%1: %2", L", ", two),
              L"\u30AB\u30E1\u30E9 \u30AA\u30F3\uFF1AMeet\u3001WindowsCamera");
    UseAnnouncementLanguage(kLanguageArabic);
    EXPECT_EQ(Announcement(L"x", L"%1: %2", L", ", two), L"x: Meet\u060C WindowsCamera");
    // Without names the caption stands alone, in any language.
    EXPECT_EQ(Announcement(L"x", L"%1: %2", L", ", {}), L"x");
    UseAnnouncementLanguage(kLanguageEnglish);
    EXPECT_EQ(Announcement(L"Camera on", L"%2 / %1", L" + ", two),
              L"Camera on: Meet, WindowsCamera");
}

}  // namespace
}  // namespace lensbeacon::indicator
