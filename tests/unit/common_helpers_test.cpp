// The policy values' and the camera-use records' decision tables, whether a
// manifest asks for UI access, the shared bounded text builder, the owner of
// values obtained through an interface of system calls, and the Win32
// owners' care for the last error.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "lensbeacon/api_owner.h"
#include "lensbeacon/bounded_text.h"
#include "lensbeacon/camera_use_live.h"
#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/own_folder.h"
#include "lensbeacon/policy.h"
#include "lensbeacon/program_signing.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {
namespace {

TEST(Policy, OnlyAFourByteDwordOfOneOrZeroIsConfiguredAndThenItWins) {
    using enum PolicySetting;
    EXPECT_EQ(PolicySettingFrom(REG_DWORD, 4, 1), On);
    EXPECT_EQ(PolicySettingFrom(REG_DWORD, 4, 0), Off);
    EXPECT_EQ(PolicySettingFrom(REG_DWORD, 4, 2), NotConfigured);
    EXPECT_EQ(PolicySettingFrom(REG_DWORD, 2, 1), NotConfigured);
    EXPECT_EQ(PolicySettingFrom(REG_BINARY, 4, 1), NotConfigured);
    EXPECT_EQ(PolicySettingFrom(REG_SZ, 4, 0), NotConfigured);
    EXPECT_EQ(PolicySettingFrom(REG_QWORD, 8, 0), NotConfigured);
    for (const bool own : {false, true}) {
        EXPECT_EQ(PolicyOr(NotConfigured, own), own);
        EXPECT_TRUE(PolicyOr(On, own));
        EXPECT_FALSE(PolicyOr(Off, own));
    }
}

TEST(CameraUseRecords, AnAppHoldsTheCameraFromItsStartUntilALaterStop) {
    EXPECT_FALSE(HoldsCamera(0, 0));    // never used
    EXPECT_FALSE(HoldsCamera(0, 50));   // no Start, whatever the Stop
    EXPECT_TRUE(HoldsCamera(100, 0));   // started, not stopped
    EXPECT_TRUE(HoldsCamera(100, 99));  // stopped before this start
    EXPECT_FALSE(HoldsCamera(100, 100));
    EXPECT_FALSE(HoldsCamera(100, 101));
    EXPECT_FALSE(HoldsCamera(100, ~0ULL));  // a Stop in the future ends it too
}

TEST(CameraUseRecords, OnlyAnEightByteQwordIsATime) {
    const unsigned char bytes[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(FileTimeFromValue(REG_QWORD, bytes, 8), 0x0807060504030201ULL);
    EXPECT_EQ(FileTimeFromValue(REG_BINARY, bytes, 8), 0u);
    EXPECT_EQ(FileTimeFromValue(REG_SZ, bytes, 8), 0u);
    EXPECT_EQ(FileTimeFromValue(REG_QWORD, bytes, 3), 0u);
    EXPECT_EQ(FileTimeFromValue(REG_QWORD, bytes, 16), 0u);
    EXPECT_EQ(FileTimeFromValue(REG_QWORD, nullptr, 8), 0u);
}

TEST(CameraUseRecords, PeoplesHivesAreTheAccountsNotTheirClassesOrServices) {
    EXPECT_TRUE(IsPersonHiveName(L"S-1-5-21-1004336348-1177238915-682003330-1001"));
    EXPECT_TRUE(IsPersonHiveName(L"S-1-12-1-3057456765-1090227347-1536337539-2813357296"));
    EXPECT_FALSE(IsPersonHiveName(L"S-1-5-21-1004336348-1177238915-682003330-1001_Classes"));
    EXPECT_FALSE(IsPersonHiveName(L".DEFAULT"));
    EXPECT_FALSE(IsPersonHiveName(L"S-1-5-18"));
    EXPECT_FALSE(IsPersonHiveName(L"S-1-5-19"));
    EXPECT_FALSE(IsPersonHiveName(L"S-1-5-21-"));
    EXPECT_FALSE(IsPersonHiveName(L""));
}

TEST(ManifestUiAccess, OnlyTheExecutionLevelsUiAccessTrueAsks) {
    struct Case {
        const char* what;
        std::string_view manifest;
        bool asks;
    };
    const Case cases[] = {
        {"the indicator's signed form",
         R"(<requestedPrivileges><requestedExecutionLevel level="asInvoker" uiAccess="true"/>)",
         true},
        {"the indicator's unsigned form",
         R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)", false},
        {"single quotes", "<requestedExecutionLevel level='asInvoker' uiAccess='true'/>", true},
        {"white space around =",
         "<requestedExecutionLevel\n\tlevel = \"asInvoker\"\r\n uiAccess \t=\n 'true' />", true},
        {"attribute first, element left open",
         R"(<requestedExecutionLevel uiAccess="true" level="asInvoker"></requestedExecutionLevel>)",
         true},
        {"a namespace prefix", R"(<ms_asmv3:requestedExecutionLevel uiAccess="true"/>)", true},
        {"a > inside another value", R"(<requestedExecutionLevel level="a>b" uiAccess="true"/>)",
         true},
        {"no uiAccess", R"(<requestedExecutionLevel level="requireAdministrator"/>)", false},
        {"no execution level at all", R"(<assembly><dpiAware>true</dpiAware></assembly>)", false},
        {"empty text", "", false},
        {"only in a comment",
         R"(<!-- <requestedExecutionLevel uiAccess="true"/> --><requestedExecutionLevel/>)", false},
        {"only in character data",
         R"(<![CDATA[ <requestedExecutionLevel uiAccess="true"/> ]]><requestedExecutionLevel/>)",
         false},
        {"on another element",
         R"(<other uiAccess="true"/><requestedExecutionLevel level="asInvoker"/>)", false},
        {"a longer element name", R"(<requestedExecutionLevels uiAccess="true"/>)", false},
        {"a longer attribute name", R"(<requestedExecutionLevel uiAccessible="true"/>)", false},
        {"a prefixed attribute name", R"(<requestedExecutionLevel xuiAccess="true"/>)", false},
        {"another case", R"(<requestedExecutionLevel uiAccess="True"/>)", false},
        {"a longer value", R"(<requestedExecutionLevel uiAccess="trueish"/>)", false},
        {"blanks inside the value", R"(<requestedExecutionLevel uiAccess=" true"/>)", false},
        {"no quotes", "<requestedExecutionLevel uiAccess=true/>", false},
        {"mismatched quotes", R"(<requestedExecutionLevel uiAccess="true'/>)", false},
        {"text ending inside the tag", R"(<requestedExecutionLevel uiAccess=)", false},
        {"after the tag ends", R"(<requestedExecutionLevel level="asInvoker"/> uiAccess="true")",
         false},
        {"an unclosed comment", R"(<!-- <requestedExecutionLevel uiAccess="true"/>)", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ManifestAsksUiAccess(c.manifest), c.asks) << c.what;
    }
}

TEST(BoundedText, FillsToCapacityAndRefusesOneCharacterMore) {
    wchar_t buffer[6];
    EXPECT_TRUE(BoundedText(buffer).Append(L"ab").Append(L'c').Append(L"de").ok());
    EXPECT_STREQ(buffer, L"abcde");

    BoundedText tooLong(buffer);
    EXPECT_FALSE(tooLong.Append(L"abc").Append(L"def").ok());
    EXPECT_STREQ(buffer, L"");
    // Once refused, later pieces that would fit are ignored too.
    EXPECT_FALSE(tooLong.Append(L"x").ok());
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(tooLong.length(), 0u);
}

TEST(BoundedText, JoinPathKeepsTheTerminatorInsideTheBuffer) {
    PathBuffer path;
    const std::wstring folder(kPathCapacity - 6, L'f');
    EXPECT_TRUE(JoinPath(folder.c_str(), L"a.exe", path));
    EXPECT_EQ(std::wstring(path), folder + L"a.exe");
    EXPECT_FALSE(JoinPath(folder.c_str(), L"ab.exe", path));
    EXPECT_STREQ(path, L"");
}

struct CountingApi {
    std::vector<int> closed;
    void Close(int value) { closed.push_back(value); }
};
bool IsZeroOrMinusOne(int value) {
    return value == 0 || value == -1;
}
using CountedOwner = ApiOwner<CountingApi, int, &CountingApi::Close, IsZeroOrMinusOne>;

TEST(ApiOwner, ClosesEachValueOnceThroughTheInterfaceAndNeverAnEmptyOne) {
    CountingApi api;
    {
        CountedOwner first(api, 7);
        CountedOwner second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(second);
        *second.put() = 8;  // put() released 7 first
        CountedOwner empty(api, -1);
        EXPECT_FALSE(empty);
        CountedOwner released(api, 9);
        EXPECT_EQ(released.release(), 9);
    }
    EXPECT_EQ(api.closed, (std::vector<int>{7, 8}));
}

int g_failingCloses = 0;
void CloseAndFail(HANDLE) {
    ++g_failingCloses;
    ::SetLastError(ERROR_INVALID_HANDLE);
}

// A call fails, and what it left is released before its error is read: the
// release must not replace that error with its own.
TEST(UniqueOwner, ReleasingKeepsTheErrorOfTheCallThatFailed) {
    g_failingCloses = 0;
    {
        UniqueOwner<HANDLE, CloseAndFail> owner(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
        ::SetLastError(ERROR_ACCESS_DENIED);
        owner.reset(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(2)));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        ::SetLastError(ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(g_failingCloses, 2);
    {
        const WindowDc screen(nullptr);
        ASSERT_TRUE(screen);
        ::SetLastError(ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(CameraUseLive, PackageFolderMatching) {
    struct Row {
        const wchar_t* imagePath;
        const wchar_t* family;  // "" = in no package folder
    };
    const Row rows[] = {
        {L"C:\\Program Files\\WindowsApps\\Microsoft.WindowsCamera_2024.2410.0.0_x64__8wekyb3d8bbwe"
         L"\\WindowsCamera.exe",
         L"Microsoft.WindowsCamera_8wekyb3d8bbwe"},
        // A resource id, another drive, any case, a program further down.
        {L"D:\\WindowsApps\\Contoso.Meet_1.0.0.0_neutral_split.scale-100_abcdefghijk\\bin\\m.exe",
         L"Contoso.Meet_abcdefghijk"},
        {L"c:\\program files\\windowsapps\\A_1_x86__p\\a.exe", L"A_p"},
        // The folder itself, too few or too many parts, empty ends.
        {L"C:\\Program Files\\WindowsApps\\A_1_x86__p", L""},
        {L"C:\\Program Files\\WindowsApps\\A_1_x86_p\\a.exe", L""},
        {L"C:\\Program Files\\WindowsApps\\A_1_x86___p\\a.exe", L""},
        {L"C:\\Program Files\\WindowsApps\\_1_x86__p\\a.exe", L""},
        {L"C:\\Program Files\\WindowsApps\\A_1_x86__\\a.exe", L""},
        // Not a folder named WindowsApps.
        {L"C:\\MyWindowsApps\\A_1_x86__p\\a.exe", L""},
        {L"C:\\WindowsAppsX\\A_1_x86__p\\a.exe", L""},
        {L"WindowsApps\\A_1_x86__p\\a.exe", L""},
        {L"", L""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PackageFamilyOfImagePath(row.imagePath), row.family) << row.imagePath;
    }
}

TEST(CameraUseLive, ARecordIsLiveOnlyWhileItsProgramRuns) {
    const std::vector<std::wstring> running = {
        L"C:\\Program Files\\Contoso Meet\\Meet.exe",
        L"C:\\Program Files\\WindowsApps\\Microsoft.WindowsCamera_1.0.0.0_x86__8wekyb3d8bbwe\\"
        L"WindowsCamera.exe"};
    const CameraUseRecord desktop{L"c:#program files#contoso meet#meet.exe", false, 5, 0, {}};
    const CameraUseRecord gone{L"C:#Tools#crashed.exe", false, 9, 0, {}};
    const CameraUseRecord packaged{L"Microsoft.WindowsCamera_8wekyb3d8bbwe", true, 7, 0, {}};
    // A desktop record never matches a packaged app's family, nor the reverse.
    const CameraUseRecord familyAsPath{L"Microsoft.WindowsCamera_8wekyb3d8bbwe", false, 7, 0, {}};
    const CameraUseRecord pathAsPackage{L"C:#Program Files#Contoso Meet#Meet.exe", true, 5, 0, {}};
    const CameraUseRecord stopped{L"C:#Program Files#Contoso Meet#Meet.exe", false, 5, 6, {}};
    EXPECT_TRUE(IsRecordLive(desktop, running));
    EXPECT_TRUE(IsRecordLive(packaged, running));
    EXPECT_FALSE(IsRecordLive(gone, running));
    EXPECT_FALSE(IsRecordLive(familyAsPath, running));
    EXPECT_FALSE(IsRecordLive(pathAsPackage, running));
    EXPECT_FALSE(IsRecordLive(desktop, {}));

    const std::vector<CameraUseRecord> live =
        LiveHeldRecords({gone, desktop, stopped, packaged}, running);
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(live[0].app, desktop.app);
    EXPECT_EQ(live[1].app, packaged.app);
    EXPECT_TRUE(AnyHeldRecord({stopped, gone}));
    EXPECT_FALSE(AnyHeldRecord({stopped}));
}

}  // namespace
}  // namespace lensbeacon
