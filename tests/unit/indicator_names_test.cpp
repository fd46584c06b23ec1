// What the indicator knows of the programs it names: which paths it looks
// up, how many at a time, and how the answers are used and kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_descriptions.h"

namespace lensbeacon::indicator {
namespace {

using Paths = std::vector<std::wstring>;

std::wstring Program(int i) {
    return L"C:\\Tools\\program" + std::to_wstring(i) + L".exe";
}

TEST(ProgramDescriptions, APathIsLookedUpOnceAndItsDescriptionUsedWhenItHasArrived) {
    ProgramDescriptions descriptions;
    const std::wstring meet = L"C:\\Tools\\meet.exe";
    // Not known yet: no description, so the file name stands in.
    EXPECT_EQ(descriptions.Describe(meet), L"");
    EXPECT_EQ(descriptions.Describe(meet), L"");
    EXPECT_EQ(descriptions.TakeLookups(), (Paths{meet}));
    // Under way: asked for again, it is not looked up a second time.
    EXPECT_EQ(descriptions.Describe(meet), L"");
    EXPECT_TRUE(descriptions.TakeLookups().empty());
    descriptions.Store(meet, L"Meet");
    EXPECT_EQ(descriptions.Describe(meet), L"Meet");
    EXPECT_TRUE(descriptions.TakeLookups().empty());
    // A file without a description is known too, and not looked up again.
    const std::wstring bare = L"C:\\Tools\\bare.exe";
    descriptions.Describe(bare);
    EXPECT_EQ(descriptions.TakeLookups(), (Paths{bare}));
    descriptions.Store(bare, L"");
    EXPECT_EQ(descriptions.Describe(bare), L"");
    EXPECT_TRUE(descriptions.TakeLookups().empty());
    // An answer nobody asked for is not taken.
    descriptions.Store(L"C:\\Tools\\other.exe", L"Other");
    EXPECT_EQ(descriptions.Describe(L"C:\\Tools\\other.exe"), L"");
}

TEST(ProgramDescriptions, PathsThatMayNotBeOpenedAreNeverLookedUp) {
    ProgramDescriptions descriptions;
    for (const wchar_t* path :
         {L"\\\\host\\share\\meet.exe", L"\\\\?\\UNC\\host\\share\\meet.exe", L"\\\\.\\pipe\\meet",
          L"meet.exe", L"C:/Tools/meet.exe", L"C:\\Tools\\meet.exe:s"}) {
        EXPECT_EQ(descriptions.Describe(path), L"") << path;
    }
    EXPECT_TRUE(descriptions.TakeLookups().empty());
}

TEST(ProgramDescriptions, OneRefreshStartsAtMostEightLookupsAndTheRestComeWithTheNext) {
    ProgramDescriptions descriptions;
    for (int i = 0; i < 11; ++i) {
        descriptions.Describe(Program(i));
    }
    const Paths first = descriptions.TakeLookups();
    ASSERT_EQ(first.size(), kMaxLookupsPerRefresh);
    EXPECT_EQ(first.front(), Program(0));
    EXPECT_EQ(first.back(), Program(7));
    // The next refresh asks for all of them again: only the three left over
    // are started.
    for (int i = 0; i < 11; ++i) {
        descriptions.Describe(Program(i));
    }
    EXPECT_EQ(descriptions.TakeLookups(), (Paths{Program(8), Program(9), Program(10)}));
}

TEST(ProgramDescriptions, AbandonedLookupsAreAskedForAgainAndTheKeptOnesAreBounded) {
    ProgramDescriptions descriptions;
    descriptions.Describe(Program(0));
    const Paths lookups = descriptions.TakeLookups();
    descriptions.Abandon(lookups);
    descriptions.Describe(Program(0));
    EXPECT_EQ(descriptions.TakeLookups(), lookups);

    // Past the bound the known ones are forgotten and looked up again.
    descriptions.Store(Program(0), L"Zero");
    for (int i = 1; i <= static_cast<int>(kMaxKnownDescriptions); ++i) {
        descriptions.Describe(Program(i));
        descriptions.TakeLookups();
        descriptions.Store(Program(i), L"Known");
    }
    EXPECT_EQ(descriptions.Describe(Program(static_cast<int>(kMaxKnownDescriptions))), L"Known");
    EXPECT_EQ(descriptions.Describe(Program(0)), L"");
    EXPECT_EQ(descriptions.TakeLookups(), (Paths{Program(0)}));
}

}  // namespace
}  // namespace lensbeacon::indicator
