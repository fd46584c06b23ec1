// The real session launcher in Wine: it runs its real session, token and
// process calls and starts a probe program placed under the launched file
// name in a folder with blanks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwctype>
#include <string>

#include "lensbeacon/own_folder.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"
#include "session_launch.h"

namespace lensbeacon {
namespace {

// The real calls, with the results of the steps Wine may or may not support
// recorded, so the test states which of them it really exercised.
struct StepResults {
    int userToken = -1;
    int environment = -1;
    int sessionMove = -1;
    LPVOID environmentPassed = nullptr;
};
StepResults g_steps;

BOOL WINAPI RecordUserToken(ULONG session, PHANDLE token) {
    g_steps.userToken = Win32SessionPort().queryUserToken(session, token);
    return g_steps.userToken;
}
BOOL WINAPI RecordEnvironment(LPVOID* block, HANDLE token, BOOL inherit) {
    g_steps.environment = Win32SessionPort().createEnvironmentBlock(block, token, inherit);
    return g_steps.environment;
}
BOOL WINAPI RecordSessionMove(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID value,
                              DWORD size) {
    g_steps.sessionMove = Win32SessionPort().setTokenInformation(token, infoClass, value, size);
    return g_steps.sessionMove;
}
BOOL WINAPI RecordCreate(HANDLE token, LPCWSTR application, LPWSTR commandLine,
                         LPSECURITY_ATTRIBUTES processAttributes,
                         LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags,
                         LPVOID environment, LPCWSTR directory, LPSTARTUPINFOW startup,
                         LPPROCESS_INFORMATION info) {
    g_steps.environmentPassed = environment;
    return Win32SessionPort().createProcessAsUser(token, application, commandLine,
                                                  processAttributes, threadAttributes, inherit,
                                                  flags, environment, directory, startup, info);
}

SessionPort RecordingApi() {
    SessionPort api = Win32SessionPort();
    api.queryUserToken = RecordUserToken;
    api.createEnvironmentBlock = RecordEnvironment;
    api.setTokenInformation = RecordSessionMove;
    api.createProcessAsUser = RecordCreate;
    return api;
}

// A folder with blanks beside the test program, holding copies of the probe
// under the launched names, and a probe planted as "<parent>\session.exe",
// the program an unquoted command line would run instead.
class SessionLaunchWineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OwnFolder(nullptr, testBin));
        probe = std::wstring(testBin) + L"launch_probe.exe";
        // One folder per test: a probe of the test before may still be
        // ending, and a running program's file cannot be replaced.
        const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = std::wstring(testBin) + L"session probe " +
                 std::wstring(test, test + std::strlen(test)) + L"\\";
        planted = std::wstring(testBin) + L"session.exe";
        ::CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* file : {kSessionLauncherFile, kLogonIndicatorFile}) {
            ASSERT_TRUE(::CopyFileW(probe.c_str(), (folder + file).c_str(), FALSE));
            ::DeleteFileW((folder + file + L".cmdline").c_str());
        }
        ASSERT_TRUE(::CopyFileW(probe.c_str(), planted.c_str(), FALSE));
    }
    void TearDown() override {
        for (const wchar_t* file : {kSessionLauncherFile, kLogonIndicatorFile}) {
            ::DeleteFileW((folder + file).c_str());
            ::DeleteFileW((folder + file + L".cmdline").c_str());
        }
        ::RemoveDirectoryW(folder.c_str());
        ::DeleteFileW(planted.c_str());
        ::DeleteFileW((planted + L".cmdline").c_str());
    }

    PathBuffer testBin = {};
    std::wstring probe, folder, planted;
};

TEST_F(SessionLaunchWineTest, UserKindStartsTheLauncherByItsQuotedFullPath) {
    UniqueHandle started(
        ::CreateEventW(nullptr, TRUE, FALSE, test::ProbeEventName(kSessionLauncherFile).c_str()));
    UniqueHandle plantedStarted(
        ::CreateEventW(nullptr, TRUE, FALSE, test::ProbeEventName(L"session.exe").c_str()));
    ASSERT_TRUE(started && plantedStarted);

    g_steps = StepResults{};
    const SessionPort api = RecordingApi();
    SessionLauncher launcher(api, folder.c_str());
    const ConsoleSession console = launcher.QueryConsoleSession();
    ASSERT_NE(console.id, 0u) << "Wine reports no console session";
    ASSERT_TRUE(launcher.Launch(LaunchKind::User, console.id));
    ASSERT_EQ(::WaitForSingleObject(started.get(), 30000), WAIT_OBJECT_0);

    // The program ran from the folder with blanks, not the planted one.
    EXPECT_EQ(test::RecordedCommandLine(folder + kSessionLauncherFile),
              L"\"" + folder + kSessionLauncherFile + L"\"");
    EXPECT_EQ(::WaitForSingleObject(plantedStarted.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // The token really moved into the session, and the user's environment
    // went to the program whenever Wine could make one.
    EXPECT_EQ(g_steps.sessionMove, TRUE);
    if (g_steps.userToken == TRUE && g_steps.environment == TRUE) {
        EXPECT_NE(g_steps.environmentPassed, nullptr);
    }
    std::printf("console %lu (user active %d); user token %d, environment block %d\n",
                static_cast<unsigned long>(console.id), console.userActive ? 1 : 0,
                g_steps.userToken, g_steps.environment);
}

TEST_F(SessionLaunchWineTest, LogonDesktopKindStartsTheIndicatorOnTheLogonDesktop) {
    UniqueHandle started(
        ::CreateEventW(nullptr, TRUE, FALSE, test::ProbeEventName(kLogonIndicatorFile).c_str()));
    ASSERT_TRUE(started);
    SessionLauncher launcher(Win32SessionPort(), folder.c_str());
    const ConsoleSession console = launcher.QueryConsoleSession();
    ASSERT_NE(console.id, 0u);
    ASSERT_TRUE(launcher.Launch(LaunchKind::LogonDesktop, console.id));
    ASSERT_EQ(::WaitForSingleObject(started.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(test::RecordedCommandLine(folder + kLogonIndicatorFile),
              L"\"" + folder + kLogonIndicatorFile + L"\"");
}

}  // namespace
}  // namespace lensbeacon
