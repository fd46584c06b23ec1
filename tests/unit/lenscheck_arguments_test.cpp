// Lenscheck's command line and exit codes.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "check_arguments.h"
#include "device_check.h"

namespace lensbeacon {
namespace {

CheckCommand Parse(std::initializer_list<const wchar_t*> arguments) {
    std::vector<const wchar_t*> argv = {L"Lenscheck.exe"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    argv.push_back(nullptr);  // as wmain receives them
    return ParseCheckArguments(static_cast<int>(argv.size() - 1), argv.data());
}

TEST(LenscheckArguments, NoneRunsQuestionMarkAsksForTheUsageAnythingElseIsWrong) {
    EXPECT_EQ(Parse({}), CheckCommand::Run);
    EXPECT_EQ(Parse({L"-?"}), CheckCommand::Usage);
    EXPECT_EQ(Parse({L"/?"}), CheckCommand::Usage);
    for (const wchar_t* wrong : {L"?", L"-h", L"/h", L"--help", L"-?x", L"-", L""}) {
        EXPECT_EQ(Parse({wrong}), CheckCommand::WrongArgument) << wrong;
    }
    EXPECT_EQ(Parse({L"-?", L"-?"}), CheckCommand::WrongArgument);
    EXPECT_EQ(Parse({L"/?", L"now"}), CheckCommand::WrongArgument);
}

TEST(LenscheckArguments, ExitCodesFollowTheAnswer) {
    EXPECT_EQ(ExitCodeOfCheck(kCameraInUse), 1);
    EXPECT_EQ(ExitCodeOfCheck(kNoCameraInUse), 0);
    EXPECT_EQ(ExitCodeOfCheck(kNoImagingDevice), 2);
    const std::vector<std::wstring> usage = UsageLines();
    ASSERT_FALSE(usage.empty());
    EXPECT_EQ(usage[0], L"Usage: Lenscheck [-?]");
}

}  // namespace
}  // namespace lensbeacon
