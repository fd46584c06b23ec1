// Lensdial's start-up decisions: the "-Lang=" option, the arguments of its
// command line, the layout scale for the screen, and the switch's first look.
#include <gtest/gtest.h>

#include <climits>

#include "lensbeacon/language_option.h"
#include "dialog/dialog_layout.h"

namespace lensbeacon::settings {
namespace {

TEST(LanguageOption, ReadsTheNumberAfterTheFirstOption) {
    EXPECT_EQ(ParseLanguageOption(L"-Lang=5"), 5);
    EXPECT_EQ(ParseLanguageOption(L"/x -Lang=7 more words"), 7);
    EXPECT_EQ(ParseLanguageOption(L"-Lang=12abc"), 12);
    EXPECT_EQ(ParseLanguageOption(L"-Lang= 3"), 3);
    // Every "-Lang=" goes before the number is read.
    EXPECT_EQ(ParseLanguageOption(L"-Lang=-Lang=9"), 9);
    EXPECT_EQ(ParseLanguageOption(L"-Lang=-Lang=-Lang=4"), 4);
    // Values the language table ignores still come through as they are.
    EXPECT_EQ(ParseLanguageOption(L"-Lang=21"), 21);
    EXPECT_EQ(ParseLanguageOption(L"-Lang=-2"), -2);
}

TEST(LanguageOption, GivesZeroWithoutANumberOrOption) {
    EXPECT_EQ(ParseLanguageOption(nullptr), 0);
    EXPECT_EQ(ParseLanguageOption(L""), 0);
    EXPECT_EQ(ParseLanguageOption(L"-Lang="), 0);
    EXPECT_EQ(ParseLanguageOption(L"-Lang=de"), 0);
    EXPECT_EQ(ParseLanguageOption(L"-lang=5"), 0);  // the option is case-sensitive
    EXPECT_EQ(ParseLanguageOption(L"5"), 0);
}

TEST(LanguageOption, ClampsNumbersBeyondTheIntRange) {
    EXPECT_EQ(ParseLanguageOption(L"-Lang=99999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseLanguageOption(L"-Lang=-99999999999999999999"), INT_MIN);
}

TEST(CommandArguments, SkipsTheProgramNameQuotedOrNot) {
    EXPECT_STREQ(CommandArguments(L"\"C:\\Program Files\\Lensdial.exe\"  -Lang=5"), L"-Lang=5");
    EXPECT_STREQ(CommandArguments(L"Lensdial.exe -Lang=5"), L"-Lang=5");
    // A folder named like the option is not the option.
    EXPECT_EQ(ParseLanguageOption(CommandArguments(L"\"C:\\-Lang=3\\Lensdial.exe\"")), 0);
    EXPECT_STREQ(CommandArguments(L"\"unterminated"), L"");
    EXPECT_STREQ(CommandArguments(nullptr), L"");
}

TEST(DialogLayout, ScalesOnlyAbove120DotsPerInch) {
    EXPECT_FLOAT_EQ(ScaleForDpi(96, 96), 1.0f);
    EXPECT_FLOAT_EQ(ScaleForDpi(120, 120), 1.0f);
    EXPECT_FLOAT_EQ(ScaleForDpi(144, 144), 1.25f);
    EXPECT_FLOAT_EQ(ScaleForDpi(192, 192), 1.25f);
    EXPECT_FLOAT_EQ(ScaleForDpi(144, 96), 1.0f);  // the smaller axis decides
    EXPECT_FLOAT_EQ(ScaleForDpi(0, 0), 1.0f);
}

TEST(DialogLayout, CentresInTheWorkAreaAndStaysInsideIt) {
    const POINT centred = CentredIn(RECT{0, 0, 1920, 1040}, 377, 182);
    EXPECT_EQ(centred.x, 771);
    EXPECT_EQ(centred.y, 429);
    const POINT second = CentredIn(RECT{1920, 40, 3200, 1064}, 471, 228);
    EXPECT_EQ(second.x, 1920 + 404);
    EXPECT_EQ(second.y, 40 + 398);
    const POINT larger = CentredIn(RECT{0, 0, 300, 100}, 377, 182);
    EXPECT_EQ(larger.x, 0);
    EXPECT_EQ(larger.y, 0);
}

TEST(DialogLayout, TheSwitchShowsTheServiceState) {
    EXPECT_EQ(SwitchPositionFor(1), 1);
    EXPECT_EQ(SwitchPositionFor(0), 0);
    EXPECT_EQ(SwitchPositionFor(2), 0);  // no service: Off
    EXPECT_TRUE(SwitchEnabledFor(0));
    EXPECT_TRUE(SwitchEnabledFor(1));
    EXPECT_FALSE(SwitchEnabledFor(2));
}

TEST(DialogLayout, AHeldSwitchShowsThePolicyAndTakesNoInput) {
    for (const int state : {0, 1, 2}) {
        EXPECT_EQ(SwitchPositionFor(state, PolicySetting::On), 1) << state;
        EXPECT_EQ(SwitchPositionFor(state, PolicySetting::Off), 0) << state;
        EXPECT_EQ(SwitchPositionFor(state, PolicySetting::NotConfigured), SwitchPositionFor(state));
        EXPECT_FALSE(SwitchEnabledFor(state, PolicySetting::On)) << state;
        EXPECT_FALSE(SwitchEnabledFor(state, PolicySetting::Off)) << state;
        EXPECT_EQ(SwitchEnabledFor(state, PolicySetting::NotConfigured), SwitchEnabledFor(state));
    }
}

}  // namespace
}  // namespace lensbeacon::settings
