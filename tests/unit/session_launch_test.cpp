// Launching programs into sessions, over fakes of the session, token,
// environment and process calls that count every handle, block and buffer
// handed out and released.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "session_launch.h"

namespace lensbeacon {
namespace {

struct Launched {
    HANDLE token;
    std::wstring application;
    std::wstring commandLine;
    DWORD flags;
    LPVOID environment;
    std::wstring desktop;
    DWORD startupSize;
    DWORD startupFlags;
    BOOL inherit;
};

struct FakeSystem {
    DWORD consoleSession = 1;
    DWORD connectState = WTSActive;
    USHORT protocol = 0;
    bool stateQueryFails = false;
    bool protocolQueryFails = false;
    bool userTokenFails = false;
    bool environmentFails = false;
    bool openFails = false;
    bool duplicateFails = false;
    bool lookupFails = false;
    bool adjustFails = false;
    bool sessionMoveFails = false;
    bool createFails = false;
    bool processHandlesInvalid = false;

    std::vector<Launched> launched;
    std::vector<std::string> calls;
    DWORD movedToSession = 0;

    int nextHandle = 0x100;
    std::set<HANDLE> openHandles;
    std::set<LPVOID> openBlocks;
    std::set<void*> openBuffers;
    int badCloses = 0;
    char blockStorage[8][16] = {};
    int nextBlock = 0;
    unsigned char bufferStorage[16][8] = {};
    int nextBuffer = 0;

    HANDLE NewHandle() {
        HANDLE h = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(nextHandle += 4));
        openHandles.insert(h);
        return h;
    }
    bool Leaks() const {
        return !openHandles.empty() || !openBlocks.empty() || !openBuffers.empty();
    }
};
FakeSystem* g_fake = nullptr;

DWORD WINAPI FakeConsole() {
    return g_fake->consoleSession;
}
BOOL WINAPI FakeQuery(HANDLE server, DWORD, WTS_INFO_CLASS infoClass, LPWSTR* buffer,
                      DWORD* bytes) {
    EXPECT_EQ(server, WTS_CURRENT_SERVER_HANDLE);
    if ((infoClass == WTSConnectState && g_fake->stateQueryFails) ||
        (infoClass == WTSClientProtocolType && g_fake->protocolQueryFails)) {
        return FALSE;
    }
    unsigned char* storage = g_fake->bufferStorage[g_fake->nextBuffer++ % 16];
    if (infoClass == WTSConnectState) {
        std::memcpy(storage, &g_fake->connectState, 4);
        *bytes = 4;
    } else if (infoClass == WTSClientProtocolType) {
        std::memcpy(storage, &g_fake->protocol, 2);
        *bytes = 2;
    } else {
        ADD_FAILURE() << "unexpected information class " << infoClass;
        *bytes = 0;
    }
    *buffer = reinterpret_cast<LPWSTR>(storage);
    g_fake->openBuffers.insert(storage);
    return TRUE;
}
void WINAPI FakeFree(PVOID buffer) {
    if (g_fake->openBuffers.erase(buffer) == 0) {
        ++g_fake->badCloses;
    }
}
BOOL WINAPI FakeUserToken(ULONG, PHANDLE token) {
    g_fake->calls.push_back("user token");
    if (g_fake->userTokenFails) {
        return FALSE;
    }
    *token = g_fake->NewHandle();
    return TRUE;
}
BOOL WINAPI FakeCreateEnvironment(LPVOID* block, HANDLE token, BOOL inherit) {
    g_fake->calls.push_back("environment");
    EXPECT_TRUE(g_fake->openHandles.count(token));
    EXPECT_FALSE(inherit);
    if (g_fake->environmentFails) {
        return FALSE;
    }
    *block = g_fake->blockStorage[g_fake->nextBlock++ % 8];
    g_fake->openBlocks.insert(*block);
    return TRUE;
}
BOOL WINAPI FakeDestroyEnvironment(LPVOID block) {
    if (g_fake->openBlocks.erase(block) == 0) {
        ++g_fake->badCloses;
    }
    return TRUE;
}
HANDLE WINAPI FakeCurrentProcess() {
    return reinterpret_cast<HANDLE>(-1);
}
BOOL WINAPI FakeOpenToken(HANDLE process, DWORD access, PHANDLE token) {
    g_fake->calls.push_back("open token");
    EXPECT_EQ(process, reinterpret_cast<HANDLE>(-1));
    EXPECT_EQ(access, 0xF01FFu);
    if (g_fake->openFails) {
        return FALSE;
    }
    *token = g_fake->NewHandle();
    return TRUE;
}
BOOL WINAPI FakeDuplicate(HANDLE existing, DWORD access, LPSECURITY_ATTRIBUTES attributes,
                          SECURITY_IMPERSONATION_LEVEL level, TOKEN_TYPE type, PHANDLE token) {
    g_fake->calls.push_back("duplicate");
    EXPECT_TRUE(g_fake->openHandles.count(existing));
    EXPECT_EQ(access, 0xF01FFu);
    EXPECT_EQ(attributes, nullptr);
    EXPECT_EQ(level, 2);
    EXPECT_EQ(type, 1);
    if (g_fake->duplicateFails) {
        return FALSE;
    }
    *token = g_fake->NewHandle();
    return TRUE;
}
BOOL WINAPI FakeLookup(LPCWSTR system, LPCWSTR name, PLUID luid) {
    g_fake->calls.push_back("lookup");
    EXPECT_EQ(system, nullptr);
    EXPECT_EQ(std::wstring(name), L"SeTcbPrivilege");
    if (g_fake->lookupFails) {
        return FALSE;
    }
    luid->LowPart = 7;
    luid->HighPart = 0;
    return TRUE;
}
BOOL WINAPI FakeAdjust(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES privileges, DWORD,
                       PTOKEN_PRIVILEGES previous, PDWORD) {
    g_fake->calls.push_back("adjust");
    EXPECT_TRUE(g_fake->openHandles.count(token));
    EXPECT_FALSE(disableAll);
    EXPECT_EQ(privileges->PrivilegeCount, 1u);
    EXPECT_EQ(privileges->Privileges[0].Luid.LowPart, 7u);
    EXPECT_EQ(privileges->Privileges[0].Attributes, 2u);
    EXPECT_EQ(previous, nullptr);
    return g_fake->adjustFails ? FALSE : TRUE;
}
BOOL WINAPI FakeSetInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID value,
                               DWORD size) {
    g_fake->calls.push_back("move");
    EXPECT_TRUE(g_fake->openHandles.count(token));
    EXPECT_EQ(infoClass, TokenSessionId);
    EXPECT_EQ(size, 4u);
    std::memcpy(&g_fake->movedToSession, value, 4);
    return g_fake->sessionMoveFails ? FALSE : TRUE;
}
BOOL WINAPI FakeCreateProcess(HANDLE token, LPCWSTR application, LPWSTR commandLine,
                              LPSECURITY_ATTRIBUTES processAttributes,
                              LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags,
                              LPVOID environment, LPCWSTR directory, LPSTARTUPINFOW startup,
                              LPPROCESS_INFORMATION info) {
    g_fake->calls.push_back("create");
    EXPECT_TRUE(g_fake->openHandles.count(token));
    EXPECT_EQ(processAttributes, nullptr);
    EXPECT_EQ(threadAttributes, nullptr);
    EXPECT_EQ(directory, nullptr);
    g_fake->launched.push_back({token, application ? application : L"(none)", commandLine, flags,
                                environment, startup->lpDesktop ? startup->lpDesktop : L"",
                                startup->cb, startup->dwFlags, inherit});
    if (g_fake->createFails) {
        return FALSE;
    }
    if (g_fake->processHandlesInvalid) {
        info->hProcess = INVALID_HANDLE_VALUE;
        info->hThread = INVALID_HANDLE_VALUE;
    } else {
        info->hProcess = g_fake->NewHandle();
        info->hThread = g_fake->NewHandle();
    }
    return TRUE;
}
BOOL WINAPI FakeClose(HANDLE handle) {
    if (g_fake->openHandles.erase(handle) == 0) {
        ++g_fake->badCloses;
    }
    return TRUE;
}

const SessionPort kFakeApi = {
    FakeConsole,
    FakeQuery,
    FakeFree,
    FakeUserToken,
    FakeCreateEnvironment,
    FakeDestroyEnvironment,
    FakeCurrentProcess,
    FakeOpenToken,
    FakeDuplicate,
    FakeLookup,
    FakeAdjust,
    FakeSetInformation,
    FakeCreateProcess,
    FakeClose,
};

const wchar_t* kFolder = L"C:\\Program Files (x86)\\Orvane\\Lensbeacon\\";

class SessionLaunchTest : public ::testing::Test {
  protected:
    void SetUp() override { g_fake = &fake; }
    void TearDown() override {
        EXPECT_FALSE(fake.Leaks()) << "handles, blocks or buffers left open";
        EXPECT_EQ(fake.badCloses, 0);
        g_fake = nullptr;
    }
    FakeSystem fake;
    SessionLauncher launcher{kFakeApi, kFolder};
};

TEST_F(SessionLaunchTest, UserKindStartsTheSessionLauncherQuotedOnTheDefaultDesktop) {
    EXPECT_TRUE(launcher.Launch(LaunchKind::User, 3));
    ASSERT_EQ(fake.launched.size(), 1u);
    const Launched& l = fake.launched[0];
    EXPECT_EQ(l.application, L"C:\\Program Files (x86)\\Orvane\\Lensbeacon\\Hoistrun.exe");
    EXPECT_EQ(l.commandLine, L"\"C:\\Program Files (x86)\\Orvane\\Lensbeacon\\Hoistrun.exe\"");
    EXPECT_EQ(l.desktop, L"Winsta0\\Default");
    EXPECT_EQ(l.flags, 0x410u);
    EXPECT_EQ(l.startupSize, sizeof(STARTUPINFOW));  // 68 in the shipped 32-bit build
    EXPECT_EQ(l.startupFlags, 0u);
    EXPECT_FALSE(l.inherit);
    EXPECT_NE(l.environment, nullptr);
    EXPECT_EQ(fake.movedToSession, 3u);
    const std::vector<std::string> order = {"user token", "environment", "open token", "duplicate",
                                            "lookup",     "adjust",      "move",       "create"};
    EXPECT_EQ(fake.calls, order);
}

TEST_F(SessionLaunchTest, LogonDesktopKindStartsTheIndicatorWithTheServiceEnvironment) {
    EXPECT_TRUE(launcher.Launch(LaunchKind::LogonDesktop, 2));
    ASSERT_EQ(fake.launched.size(), 1u);
    const Launched& l = fake.launched[0];
    EXPECT_EQ(l.application, L"C:\\Program Files (x86)\\Orvane\\Lensbeacon\\Lenspop.exe");
    EXPECT_EQ(l.commandLine, L"\"C:\\Program Files (x86)\\Orvane\\Lensbeacon\\Lenspop.exe\"");
    EXPECT_EQ(l.desktop, L"Winsta0\\Winlogon");
    EXPECT_EQ(l.environment, nullptr);
    EXPECT_EQ(fake.calls.front(), "open token");  // no user token for this kind
}

TEST_F(SessionLaunchTest, UserKindWithoutALoggedOnUserStillStartsWithTheServiceEnvironment) {
    fake.userTokenFails = true;
    EXPECT_TRUE(launcher.Launch(LaunchKind::User, 4));
    ASSERT_EQ(fake.launched.size(), 1u);
    EXPECT_EQ(fake.launched[0].environment, nullptr);

    fake.userTokenFails = false;
    fake.environmentFails = true;
    EXPECT_TRUE(launcher.Launch(LaunchKind::User, 4));
    ASSERT_EQ(fake.launched.size(), 2u);
    EXPECT_EQ(fake.launched[1].environment, nullptr);
}

TEST_F(SessionLaunchTest, RemoteSessionsGetNoLaunchOfEitherKind) {
    fake.protocol = 2;  // a remote desktop client
    EXPECT_FALSE(launcher.Launch(LaunchKind::User, 5));
    EXPECT_FALSE(launcher.Launch(LaunchKind::LogonDesktop, 5));
    EXPECT_TRUE(fake.launched.empty());
    // An unreadable protocol is taken as local.
    fake.protocolQueryFails = true;
    EXPECT_TRUE(launcher.Launch(LaunchKind::LogonDesktop, 5));
}

TEST_F(SessionLaunchTest, EveryFailingStepEndsTheLaunchAndReleasesEverything) {
    bool FakeSystem::*steps[] = {&FakeSystem::openFails, &FakeSystem::duplicateFails,
                                 &FakeSystem::lookupFails, &FakeSystem::adjustFails,
                                 &FakeSystem::sessionMoveFails};
    for (bool FakeSystem::*step : steps) {
        fake.*step = true;
        EXPECT_FALSE(launcher.Launch(LaunchKind::User, 1));
        EXPECT_FALSE(launcher.Launch(LaunchKind::LogonDesktop, 1));
        EXPECT_FALSE(fake.Leaks());
        fake.*step = false;
    }
    EXPECT_TRUE(fake.launched.empty());

    fake.createFails = true;
    EXPECT_FALSE(launcher.Launch(LaunchKind::User, 1));
    EXPECT_EQ(fake.launched.size(), 1u);
    EXPECT_FALSE(fake.Leaks());

    fake.createFails = false;
    fake.processHandlesInvalid = true;
    EXPECT_TRUE(launcher.Launch(LaunchKind::User, 1));
    // TearDown checks that nothing is left open and nothing closed twice.
}

TEST_F(SessionLaunchTest, ConsoleQueryReportsTheSessionAndWhetherAUserIsActive) {
    fake.consoleSession = 0xFFFFFFFF;
    EXPECT_EQ(launcher.QueryConsoleSession().id, 0u);

    // At the logon screen: a console session, no active user.
    fake.consoleSession = 1;
    fake.connectState = WTSConnected;
    ConsoleSession console = launcher.QueryConsoleSession();
    EXPECT_EQ(console.id, 1u);
    EXPECT_FALSE(console.userActive);

    fake.stateQueryFails = true;
    EXPECT_FALSE(launcher.QueryConsoleSession().userActive);

    fake.stateQueryFails = false;
    fake.connectState = WTSActive;
    console = launcher.QueryConsoleSession();
    EXPECT_EQ(console.id, 1u);
    EXPECT_TRUE(console.userActive);
    EXPECT_TRUE(fake.launched.empty());
}

TEST_F(SessionLaunchTest, FolderWithoutBackslashLaunchesTheBareFileName) {
    SessionLauncher bare(kFakeApi, L"");
    EXPECT_TRUE(bare.Launch(LaunchKind::User, 1));
    ASSERT_EQ(fake.launched.size(), 1u);
    EXPECT_EQ(fake.launched[0].application, L"Hoistrun.exe");
    EXPECT_EQ(fake.launched[0].commandLine, L"\"Hoistrun.exe\"");
}

TEST_F(SessionLaunchTest, PathsThatDoNotFitRefuseTheLaunch) {
    // Folder plus file name of exactly 259 characters: fits, quoted in full.
    std::wstring folder = L"C:\\" + std::wstring(259 - 3 - 12 - 1, L'a') + L"\\";
    ASSERT_EQ(folder.size() + 12, 259u);
    SessionLauncher longest(kFakeApi, folder.c_str());
    EXPECT_TRUE(longest.Launch(LaunchKind::User, 1));
    ASSERT_EQ(fake.launched.size(), 1u);
    EXPECT_EQ(fake.launched[0].commandLine, L"\"" + folder + L"Hoistrun.exe\"");

    // One more character does not fit: nothing starts, nothing leaks.
    folder.insert(3, L"b");
    SessionLauncher tooLong(kFakeApi, folder.c_str());
    EXPECT_FALSE(tooLong.Launch(LaunchKind::User, 1));
    EXPECT_EQ(fake.launched.size(), 1u);

    // A folder that alone exceeds the buffer.
    SessionLauncher huge(kFakeApi, std::wstring(300, L'c').c_str());
    EXPECT_FALSE(huge.Launch(LaunchKind::LogonDesktop, 1));
    EXPECT_EQ(fake.launched.size(), 1u);
}

}  // namespace
}  // namespace lensbeacon
