// The settings program's language table: the choice of a language from the
// override and the user's interface language, and the texts of every row.
// Expected words are spelt as escapes, independent of the table's UTF-8 source.
#include "lensbeacon/localized_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <iterator>
#include <string>

namespace lensbeacon::settings {
namespace {

// The interface language the fake reports, and how often it was asked.
std::uint16_t g_fakeLanguage = 0;
int g_fakeCalls = 0;

int Current() {
    return g_languageOverride.load();
}

std::uint16_t FakeUserLanguage() {
    ++g_fakeCalls;
    return g_fakeLanguage;
}

class LanguageSelection : public ::testing::Test {
  protected:
    void SetUp() override {
        g_languageOverride = 0;
        g_fakeCalls = 0;
    }
    void TearDown() override { g_languageOverride = 0; }

    // The index chosen for this interface language with no override.
    static int Selected(std::uint16_t languageId) {
        g_languageOverride = 0;
        g_fakeLanguage = languageId;
        SelectLanguage(&FakeUserLanguage);
        return Current();
    }
};

TEST_F(LanguageSelection, EveryListedLanguageIdSelectsItsRow) {
    const struct {
        std::uint16_t id;
        int index;
    } rows[] = {
        {0x0400, 1},  {0x0409, 1},  {0x0404, 2},  {0x0C04, 2},  {0x0804, 3},  {0x040C, 4},
        {0x080C, 4},  {0x0C0C, 4},  {0x0407, 5},  {0x0807, 5},  {0x0C07, 5},  {0x0413, 6},
        {0x0813, 6},  {0x0405, 7},  {0x0411, 8},  {0x0415, 9},  {0x0816, 10}, {0x0416, 11},
        {0x0419, 12}, {0x0401, 13}, {0x0801, 13}, {0x0C01, 13}, {0x040E, 14}, {0x040A, 15},
        {0x080A, 15}, {0x0C0A, 15}, {0x041E, 16}, {0x0421, 17}, {0x042A, 18}, {0x041F, 19},
        {0x0410, 20}, {0x0810, 20},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Selected(row.id), row.index) << std::hex << row.id;
    }
    EXPECT_EQ(g_fakeCalls, static_cast<int>(std::size(rows)));
}

TEST_F(LanguageSelection, SublanguagesNotListedFallToEnglish) {
    EXPECT_EQ(Selected(0x0C0A), 15) << "Spanish, modern sort";
    EXPECT_EQ(Selected(0x2C0A), 1) << "Spanish, Argentina";
    EXPECT_EQ(Selected(0x1009), 1) << "English, Canada";
    EXPECT_EQ(Selected(0x100C), 1) << "French, Switzerland";
    EXPECT_EQ(Selected(0x0809), 1) << "English, United Kingdom";
    EXPECT_EQ(Selected(0x0000), 1);
    EXPECT_EQ(Selected(0xFFFF), 1);
}

TEST_F(LanguageSelection, OverrideInRangeStaysWithoutAskingTheUser) {
    g_fakeLanguage = 0x0411;
    for (int index = 1; index <= kLanguageCount; ++index) {
        g_languageOverride = index;
        SelectLanguage(&FakeUserLanguage);
        EXPECT_EQ(Current(), index);
    }
    EXPECT_EQ(g_fakeCalls, 0);
}

TEST_F(LanguageSelection, OverrideOutOfRangeIsReplacedByTheUserLanguage) {
    g_fakeLanguage = 0x0411;
    for (const std::int32_t value : {0, -1, -20, 21, 1000, INT32_MIN, INT32_MAX}) {
        g_languageOverride = value;
        SelectLanguage(&FakeUserLanguage);
        EXPECT_EQ(Current(), kLanguageJapanese) << value;
    }
    EXPECT_EQ(g_fakeCalls, 7);
}

TEST_F(LanguageSelection, MissingSourceGivesEnglishAndTheRealOneGivesARow) {
    g_languageOverride = 21;
    SelectLanguage(nullptr);
    EXPECT_EQ(Current(), kLanguageEnglish);

    g_languageOverride = 0;
    SelectLanguage();
    EXPECT_GE(Current(), 1);
    EXPECT_LE(Current(), kLanguageCount);
}

TEST_F(LanguageSelection, TextsFollowTheSelectedLanguage) {
    g_languageOverride = 8;
    SelectLanguage(&FakeUserLanguage);
    EXPECT_STREQ(GetLocalizedText(kTextOn), L"\u30AA\u30F3");
    EXPECT_TRUE(UsesMeiryo(Current()));
    EXPECT_FALSE(IsRightToLeft(Current()));

    g_languageOverride = 13;
    EXPECT_STREQ(GetLocalizedText(kTextOn), L"\u062A\u0634\u063A\u064A\u0644");
    EXPECT_TRUE(IsRightToLeft(Current()));
    EXPECT_FALSE(UsesMeiryo(Current()));

    g_languageOverride = 0;
    EXPECT_STREQ(GetLocalizedText(kTextDescription), L"") << "before selection";
}

TEST(LocalizedTexts, OnlyKindsThreeToFiveHaveTextInEveryLanguage) {
    for (int index = 1; index <= kLanguageCount; ++index) {
        for (int kind = -2; kind <= 8; ++kind) {
            const wchar_t* text = GetLocalizedText(index, kind);
            ASSERT_NE(text, nullptr) << index << "/" << kind;
            const bool hasText = kind == kTextDescription || kind == kTextOff || kind == kTextOn;
            EXPECT_EQ(text[0] != L'\0', hasText) << index << "/" << kind;
        }
        EXPECT_STRNE(GetLocalizedText(index, kTextOff), GetLocalizedText(index, kTextOn)) << index;
    }
    for (const int index : {0, -1, 21, 100}) {
        for (const int kind : {3, 4, 5}) {
            ASSERT_NE(GetLocalizedText(index, kind), nullptr);
            EXPECT_STREQ(GetLocalizedText(index, kind), L"") << index << "/" << kind;
        }
    }
}

TEST(LocalizedTexts, SwitchWordsAreTheTablesOwn) {
    const struct {
        int index;
        const wchar_t* off;
        const wchar_t* on;
    } rows[] = {
        {1, L"Off", L"On"},
        {2, L"\u95DC\u9589", L"\u958B\u555F"},
        {3, L"\u5173", L"\u5F00"},
        {4, L"D\u00E9sactiv\u00E9", L"Activ\u00E9"},
        {5, L"Aus", L"Ein"},
        {6, L"Uit", L"Aan"},
        {7, L"Vypnuto", L"Zapnuto"},
        {8, L"\u30AA\u30D5", L"\u30AA\u30F3"},
        {9, L"Wy\u0142\u0105czone", L"W\u0142\u0105czone"},
        {10, L"Desligado", L"Ligado"},
        {11, L"Desativado", L"Ativado"},
        {12, L"\u041E\u0442\u043A\u043B.", L"\u0412\u043A\u043B."},
        {13, L"\u0625\u064A\u0642\u0627\u0641 \u0627\u0644\u062A\u0634\u063A\u064A\u0644",
         L"\u062A\u0634\u063A\u064A\u0644"},
        {14, L"Ki", L"Be"},
        {15, L"Desactivado", L"Activado"},
        {16, L"\u0E1B\u0E34\u0E14", L"\u0E40\u0E1B\u0E34\u0E14"},
        {17, L"Off", L"On"},
        {19, L"Kapal\u0131", L"A\u00E7\u0131k"},
        {20, L"Disattivate", L"Attivate"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(GetLocalizedText(row.index, kTextOff), row.off) << row.index;
        EXPECT_STREQ(GetLocalizedText(row.index, kTextOn), row.on) << row.index;
    }
}

TEST(LocalizedTexts, VietnameseWordsAreDecomposed) {
    const std::wstring off = GetLocalizedText(kLanguageVietnamese, kTextOff);
    const std::wstring on = GetLocalizedText(kLanguageVietnamese, kTextOn);
    EXPECT_EQ(off, (std::wstring{0x0054, 0x0103, 0x0301, 0x0074}));
    EXPECT_EQ(on, (std::wstring{0x0042, 0x00E2, 0x0323, 0x0074}));
    // Not the precomposed U+1EAF and U+1EAD.
    EXPECT_EQ(off.find(L'\u1EAF'), std::wstring::npos);
    EXPECT_EQ(on.find(L'\u1EAD'), std::wstring::npos);
}

TEST(LocalizedTexts, IndonesianSharesTheEnglishWordsButNotTheDescription) {
    EXPECT_STREQ(GetLocalizedText(kLanguageIndonesian, kTextOff),
                 GetLocalizedText(kLanguageEnglish, kTextOff));
    EXPECT_STREQ(GetLocalizedText(kLanguageIndonesian, kTextOn),
                 GetLocalizedText(kLanguageEnglish, kTextOn));
    EXPECT_STRNE(GetLocalizedText(kLanguageIndonesian, kTextDescription),
                 GetLocalizedText(kLanguageEnglish, kTextDescription));
}

TEST(LocalizedTexts, EveryDescriptionNamesTheProductAndIsItsOwn) {
    EXPECT_STREQ(GetLocalizedText(kLanguageEnglish, kTextDescription),
                 L"Lensbeacon is an on-screen display that shows your camera is in use. "
                 L"You may turn on or off this function.");
    for (int index = 1; index <= kLanguageCount; ++index) {
        const wchar_t* description = GetLocalizedText(index, kTextDescription);
        EXPECT_NE(std::wcsstr(description, L"Lensbeacon"), nullptr) << index;
        for (int other = 1; other < index; ++other) {
            EXPECT_STRNE(description, GetLocalizedText(other, kTextDescription))
                << index << " and " << other;
        }
    }
}

TEST(LocalizedTexts, DescriptionsAreWrittenInTheirRowsScript) {
    // One character of each script that must occur in its row's description.
    const struct {
        int index;
        wchar_t first;
        wchar_t last;
    } scripts[] = {
        {2, 0x4E00, 0x9FFF},   // Han
        {3, 0x4E00, 0x9FFF},   // Han
        {8, 0x30A0, 0x30FF},   // Katakana
        {12, 0x0400, 0x04FF},  // Cyrillic
        {13, 0x0600, 0x06FF},  // Arabic
        {16, 0x0E00, 0x0E7F},  // Thai
    };
    for (const auto& script : scripts) {
        bool found = false;
        for (const wchar_t* c = GetLocalizedText(script.index, kTextDescription); *c != L'\0';
             ++c) {
            found = found || (*c >= script.first && *c <= script.last);
        }
        EXPECT_TRUE(found) << script.index;
    }
}

TEST(LocalizedTexts, EveryLanguageHasItsOwnManagedNotice) {
    EXPECT_STREQ(GetManagedNotice(kLanguageEnglish), L"Managed by your organisation");
    EXPECT_STREQ(GetManagedNotice(kLanguageCount + 1), L"");
    for (int index = 1; index <= kLanguageCount; ++index) {
        for (int other = 0; other < index; ++other) {  // 0: ""
            EXPECT_STRNE(GetManagedNotice(index), GetManagedNotice(other)) << index << "/" << other;
        }
    }
}

TEST(LocalizedTexts, OnlyJapaneseUsesMeiryoAndOnlyArabicRunsRightToLeft) {
    for (int index = -1; index <= kLanguageCount + 1; ++index) {
        EXPECT_EQ(UsesMeiryo(index), index == 8) << index;
        EXPECT_EQ(IsRightToLeft(index), index == 13) << index;
    }
}

}  // namespace
}  // namespace lensbeacon::settings
