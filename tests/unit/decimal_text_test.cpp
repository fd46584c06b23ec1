// The position store's decimal text: parsing as the registry values are read
// back, and formatting as they are saved.
#include <gtest/gtest.h>

#include <climits>

#include "decimal_text.h"

namespace lensbeacon {
namespace {

TEST(DecimalText, ParsesLeadingBlanksSignAndDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(ParseDecimal(L"250"), 250);
    EXPECT_EQ(ParseDecimal(L" -17abc"), -17);
    EXPECT_EQ(ParseDecimal(L"abc"), 0);
    EXPECT_EQ(ParseDecimal(L""), 0);
    EXPECT_EQ(ParseDecimal(nullptr), 0);
    EXPECT_EQ(ParseDecimal(L"\t\r\n +42 7"), 42);
    EXPECT_EQ(ParseDecimal(L"-"), 0);
    EXPECT_EQ(ParseDecimal(L"- 5"), 0);
    EXPECT_EQ(ParseDecimal(L"0x10"), 0);
    EXPECT_EQ(ParseDecimal(L"-1"), -1);
}

TEST(DecimalText, OutOfRangeNumbersSaturateInsteadOfWrapping) {
    EXPECT_EQ(ParseDecimal(L"2147483647"), INT_MAX);
    EXPECT_EQ(ParseDecimal(L"-2147483648"), INT_MIN);
    EXPECT_EQ(ParseDecimal(L"2147483648"), INT_MAX);
    EXPECT_EQ(ParseDecimal(L"-99999999999999999999999999"), INT_MIN);
}

TEST(DecimalText, FormatsLikePercentD) {
    wchar_t text[12];
    const struct {
        int value;
        const wchar_t* expected;
    } cases[] = {
        {0, L"0"}, {-1, L"-1"}, {250, L"250"}, {INT_MAX, L"2147483647"}, {INT_MIN, L"-2147483648"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(FormatDecimal(c.value, text, 12));
        EXPECT_STREQ(text, c.expected);
        EXPECT_EQ(ParseDecimal(text), c.value);
    }
    wchar_t small[11] = L"unchanged";
    EXPECT_FALSE(FormatDecimal(5, small, 11));
    EXPECT_STREQ(small, L"");
}

}  // namespace
}  // namespace lensbeacon
