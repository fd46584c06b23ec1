// Plainrun's command-line handling: which argument names the file, and that
// any command line, however malformed, is split safely.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "open_argument.h"

namespace lensbeacon {
namespace {

void Record(const wchar_t* file, void* context) {
    static_cast<std::vector<std::wstring>*>(context)->emplace_back(file);
}

std::vector<std::wstring> Opened(const wchar_t* commandLine, int* exitCode = nullptr) {
    std::vector<std::wstring> opened;
    const int code = RunPlainrun(commandLine, Record, &opened);
    if (exitCode != nullptr) {
        *exitCode = code;
    }
    return opened;
}

using Files = std::vector<std::wstring>;

TEST(PlainrunArguments, OnlyTheFirstArgumentAfterTheEqualsSignIsOpened) {
    int code = -5;
    EXPECT_EQ(Opened(L"Plainrun.exe \"=C:\\App\\LenspopUI.exe\"", &code),
              Files{L"C:\\App\\LenspopUI.exe"});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Opened(L"Plainrun.exe \"=C:\\My Apps\\LenspopUI.exe\""),
              Files{L"C:\\My Apps\\LenspopUI.exe"});
    EXPECT_EQ(Opened(L"Plainrun.exe =a.exe =b.exe"), Files{L"a.exe"});
    EXPECT_EQ(Opened(L"\"C:\\x y\\Plainrun.exe\" ==b"), Files{L"=b"});
}

TEST(PlainrunArguments, NothingIsOpenedWithoutAUsableArgument) {
    const wchar_t* lines[] = {
        L"Plainrun.exe",
        L"Plainrun.exe C:\\App\\LenspopUI.exe",
        L"Plainrun.exe =",
        L"Plainrun.exe \"=\"",
        L"Plainrun.exe \"\" =a.exe",
        L"Plainrun.exe x=a.exe",
    };
    for (const wchar_t* line : lines) {
        int code = -5;
        EXPECT_TRUE(Opened(line, &code).empty()) << std::wstring(line).size();
        EXPECT_EQ(code, 0);
    }
}

TEST(PlainrunArguments, MalformedCommandLinesAreSplitSafely) {
    // Unbalanced quotes, runs of backslashes and an empty line all split.
    EXPECT_EQ(Opened(L"Plainrun.exe \"=C:\\open ended"), Files{L"C:\\open ended"});
    EXPECT_EQ(Opened(L"Plainrun.exe \"=a\\\\\\\"b\""), Files{L"a\\\"b"});
    int code = -5;
    EXPECT_TRUE(Opened(L"", &code).empty());
    EXPECT_EQ(code, 0);
    const std::wstring huge = L"Plainrun.exe =" + std::wstring(40000, L'z');
    const Files opened = Opened(huge.c_str());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].size(), 40000u);
}

TEST(PlainrunArguments, FileToOpenNeedsTwoEntriesAndALeadingEqualsSign) {
    const wchar_t* one[] = {L"Plainrun.exe"};
    EXPECT_EQ(FileToOpen(1, one), nullptr);
    EXPECT_EQ(FileToOpen(0, nullptr), nullptr);
    const wchar_t* nullEntry[] = {L"Plainrun.exe", nullptr};
    EXPECT_EQ(FileToOpen(2, nullEntry), nullptr);
    const wchar_t* good[] = {L"Plainrun.exe", L"=x"};
    EXPECT_STREQ(FileToOpen(2, good), L"x");
}

}  // namespace
}  // namespace lensbeacon
