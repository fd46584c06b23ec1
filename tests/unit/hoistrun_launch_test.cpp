// Hoistrun's decisions with fake system calls: which branch runs, the command
// line and application name it builds, the desktop test, refusal of paths that
// do not fit, and the release of every handle and environment block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "hoistrun_startup.h"
#include "launch_paths.h"
#include "user_token_launch.h"

namespace lensbeacon {
namespace {

// Hands out distinct fake handles and checks that each is released exactly
// once, through the matching call.
class FakeUserLaunchPort : public UserLaunchPort {
  public:
    bool queryUserTokenSucceeds = true;
    bool duplicateSucceeds = true;
    bool environmentSucceeds = true;
    bool createProcessSucceeds = true;
    bool childHandlesInvalid = false;

    std::vector<std::string> calls;
    DWORD querySession = 0;
    HANDLE duplicatedFrom = nullptr;
    HANDLE environmentFor = nullptr;
    HANDLE processToken = nullptr;
    std::wstring applicationName;
    std::wstring commandLine;
    DWORD creationFlags = 0;
    void* environmentPassed = nullptr;
    STARTUPINFOW startup = {};
    std::wstring startupDesktop;

    std::set<HANDLE> openHandles;
    std::set<void*> openEnvironments;
    int doubleReleases = 0;

    DWORD ActiveConsoleSessionId() override {
        calls.push_back("session");
        return 7;
    }
    bool QueryUserToken(DWORD sessionId, HANDLE& token) override {
        calls.push_back("query");
        querySession = sessionId;
        if (!queryUserTokenSucceeds) {
            return false;
        }
        token = NewHandle();
        return true;
    }
    bool DuplicatePrimaryToken(HANDLE token, HANDLE& primaryToken) override {
        calls.push_back("duplicate");
        duplicatedFrom = token;
        if (!duplicateSucceeds) {
            return false;
        }
        primaryToken = NewHandle();
        return true;
    }
    bool CreateEnvironmentBlock(HANDLE token, void*& environment) override {
        calls.push_back("environment");
        environmentFor = token;
        if (!environmentSucceeds) {
            return false;
        }
        environment = reinterpret_cast<void*>(0x5000 + next_++);
        openEnvironments.insert(environment);
        return true;
    }
    void DestroyEnvironmentBlock(void* environment) override {
        calls.push_back("destroy");
        if (openEnvironments.erase(environment) != 1) {
            ++doubleReleases;
        }
    }
    bool CreateProcessAsUser(HANDLE token, const wchar_t* application, wchar_t* line, DWORD flags,
                             void* environment, STARTUPINFOW& info,
                             PROCESS_INFORMATION& process) override {
        calls.push_back("create");
        processToken = token;
        applicationName = application;
        commandLine = line;
        creationFlags = flags;
        environmentPassed = environment;
        startup = info;
        startupDesktop = info.lpDesktop != nullptr ? info.lpDesktop : L"";
        if (!createProcessSucceeds) {
            return false;
        }
        if (childHandlesInvalid) {
            process.hProcess = INVALID_HANDLE_VALUE;
            process.hThread = INVALID_HANDLE_VALUE;
        } else {
            process.hProcess = NewHandle();
            process.hThread = NewHandle();
        }
        return true;
    }
    void CloseHandle(HANDLE handle) override {
        calls.push_back("close");
        if (openHandles.erase(handle) != 1) {
            ++doubleReleases;
        }
    }

    void ExpectEverythingReleased() const {
        EXPECT_TRUE(openHandles.empty()) << openHandles.size() << " handles left open";
        EXPECT_TRUE(openEnvironments.empty()) << "environment block left";
        EXPECT_EQ(doubleReleases, 0);
    }

  private:
    HANDLE NewHandle() {
        HANDLE h = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x100 + 4 * next_++));
        openHandles.insert(h);
        return h;
    }
    int next_ = 0;
};

class FakeStartupPort : public StartupPort {
  public:
    bool windowExists = false;
    std::wstring modulePath = L"C:\\App\\Hoistrun.exe";
    bool moduleSucceeds = true;
    bool hasDesktop = true;
    bool nameSucceeds = true;
    std::wstring desktopName = L"Default";

    std::wstring askedClass;
    std::wstring askedTitle;
    std::vector<std::wstring> opened;
    int desktopQueries = 0;
    std::vector<HDESK> closedDesktops;

    bool WindowExists(const wchar_t* className, const wchar_t* title) override {
        askedClass = className;
        askedTitle = title;
        return windowExists;
    }
    bool ModuleFileName(PathBuffer& path) override {
        if (!moduleSucceeds || modulePath.size() >= kPathCapacity) {
            return false;
        }
        std::wcscpy(path, modulePath.c_str());
        return true;
    }
    HDESK ThreadDesktop() override {
        ++desktopQueries;
        return hasDesktop ? reinterpret_cast<HDESK>(0x40) : nullptr;
    }
    bool DesktopName(HDESK, PathBuffer& name) override {
        if (!nameSucceeds) {
            return false;
        }
        std::wcsncpy(name, desktopName.c_str(), kPathCapacity - 1);
        return true;
    }
    void CloseDesktop(HDESK desktop) override { closedDesktops.push_back(desktop); }
    void OpenWithShell(const wchar_t* file) override { opened.emplace_back(file); }
};

TEST(HoistrunPaths, FolderKeepsItsTrailingBackslashOrIsEmpty) {
    PathBuffer folder;
    ASSERT_TRUE(FolderOfModulePath(L"C:\\App\\Hoistrun.exe", folder));
    EXPECT_STREQ(folder, L"C:\\App\\");
    ASSERT_TRUE(FolderOfModulePath(L"Hoistrun.exe", folder));
    EXPECT_STREQ(folder, L"");
    ASSERT_TRUE(FolderOfModulePath(L"C:\\My Apps\\x\\Hoistrun.exe", folder));
    EXPECT_STREQ(folder, L"C:\\My Apps\\x\\");
}

TEST(HoistrunPaths, CommandLineQuotesTheEqualsArgument) {
    PathBuffer line;
    ASSERT_TRUE(BuildUserLaunchCommandLine(L"C:\\App\\", line));
    EXPECT_STREQ(line, L"Plainrun.exe \"=C:\\App\\LenspopUI.exe\"");
    ASSERT_TRUE(BuildUserLaunchCommandLine(L"", line));
    EXPECT_STREQ(line, L"Plainrun.exe \"=LenspopUI.exe\"");
}

TEST(HoistrunPaths, CommandLineThatDoesNotFitIsRefused) {
    // 15 + folder + 14 characters and the terminator must fit in 260.
    const std::wstring fits = L"C:\\" + std::wstring(226, L'a') + L"\\";
    const std::wstring tooLong = L"C:\\" + std::wstring(227, L'a') + L"\\";
    PathBuffer line;
    ASSERT_TRUE(BuildUserLaunchCommandLine(fits.c_str(), line));
    EXPECT_EQ(std::wcslen(line), 259u);
    EXPECT_FALSE(BuildUserLaunchCommandLine(tooLong.c_str(), line));
    EXPECT_STREQ(line, L"");
}

TEST(HoistrunDesktop, OnlyTheExactNameWinlogonIsTheLogonDesktop) {
    const struct {
        const wchar_t* name;
        bool logon;
    } cases[] = {{L"Winlogon", true}, {L"winlogon", false},  {L"WINLOGON", false},
                 {L"Default", false}, {L"Winlogon2", false}, {L"Winlogo", false},
                 {L"", false}};
    for (const auto& c : cases) {
        FakeStartupPort startup;
        startup.desktopName = c.name;
        EXPECT_EQ(IsLogonDesktop(startup), c.logon) << std::wstring(c.name).size();
        EXPECT_EQ(startup.closedDesktops, std::vector<HDESK>{reinterpret_cast<HDESK>(0x40)});
    }
    FakeStartupPort noDesktop;
    noDesktop.hasDesktop = false;
    noDesktop.desktopName = L"Winlogon";
    EXPECT_FALSE(IsLogonDesktop(noDesktop));
    EXPECT_TRUE(noDesktop.closedDesktops.empty());
    FakeStartupPort nameFails;
    nameFails.nameSucceeds = false;
    nameFails.desktopName = L"Winlogon";
    EXPECT_FALSE(IsLogonDesktop(nameFails));
    EXPECT_EQ(nameFails.closedDesktops.size(), 1u);
}

TEST(HoistrunRun, RunningIndicatorEndsTheRunBeforeAnyOtherCall) {
    FakeStartupPort startup;
    startup.windowExists = true;
    FakeUserLaunchPort launch;
    EXPECT_EQ(RunHoistrun(startup, launch), 0);
    EXPECT_EQ(startup.askedClass, L"Lenspop Class");
    EXPECT_EQ(startup.askedTitle, L"Lenspop Window");
    EXPECT_TRUE(launch.calls.empty());
    EXPECT_EQ(startup.desktopQueries, 0);
    EXPECT_TRUE(startup.opened.empty());
}

TEST(HoistrunRun, UserDesktopLaunchesPlainrunPinnedToTheOwnFolder) {
    FakeStartupPort startup;
    FakeUserLaunchPort launch;
    EXPECT_EQ(RunHoistrun(startup, launch), 0);
    EXPECT_EQ(launch.commandLine, L"Plainrun.exe \"=C:\\App\\LenspopUI.exe\"");
    EXPECT_EQ(launch.applicationName, L"C:\\App\\Plainrun.exe");
    EXPECT_TRUE(startup.opened.empty());
    launch.ExpectEverythingReleased();
}

TEST(HoistrunRun, ModulePathWithoutBackslashUsesBareNames) {
    FakeStartupPort startup;
    startup.modulePath = L"Hoistrun.exe";
    FakeUserLaunchPort launch;
    EXPECT_EQ(RunHoistrun(startup, launch), 0);
    EXPECT_EQ(launch.commandLine, L"Plainrun.exe \"=LenspopUI.exe\"");
    EXPECT_EQ(launch.applicationName, L"Plainrun.exe");
    launch.ExpectEverythingReleased();
}

TEST(HoistrunRun, LogonDesktopOpensLenspopFromTheOwnFolderWithTheShell) {
    FakeStartupPort startup;
    startup.desktopName = L"Winlogon";
    FakeUserLaunchPort launch;
    EXPECT_EQ(RunHoistrun(startup, launch), 0);
    ASSERT_EQ(startup.opened.size(), 1u);
    EXPECT_EQ(startup.opened[0], L"C:\\App\\Lenspop.exe");
    EXPECT_TRUE(launch.calls.empty());
}

TEST(HoistrunRun, PathsThatDoNotFitRefuseTheLaunch) {
    // A folder of 240 characters fits the module path but not the command line.
    const std::wstring folder = L"C:\\" + std::wstring(236, L'a') + L"\\";
    {
        FakeStartupPort startup;
        startup.modulePath = folder + L"H.exe";
        FakeUserLaunchPort launch;
        EXPECT_EQ(RunHoistrun(startup, launch), 0);
        EXPECT_TRUE(launch.calls.empty());
    }
    {
        // 250 characters of folder: "Lenspop.exe" no longer fits behind it.
        const std::wstring longer = L"C:\\" + std::wstring(246, L'a') + L"\\";
        FakeStartupPort startup;
        startup.modulePath = longer + L"H.exe";
        startup.desktopName = L"Winlogon";
        FakeUserLaunchPort launch;
        EXPECT_EQ(RunHoistrun(startup, launch), 0);
        EXPECT_TRUE(startup.opened.empty());
    }
    {
        FakeStartupPort startup;
        startup.moduleSucceeds = false;
        FakeUserLaunchPort launch;
        EXPECT_EQ(RunHoistrun(startup, launch), 0);
        EXPECT_TRUE(launch.calls.empty());
        EXPECT_TRUE(startup.opened.empty());
    }
}

TEST(HoistrunLaunch, SuccessfulLaunchUsesTheCopiedTokenAndReleasesEverything) {
    FakeUserLaunchPort launch;
    PathBuffer line = L"Plainrun.exe \"=C:\\App\\LenspopUI.exe\"";
    EXPECT_TRUE(LaunchAsConsoleUser(launch, L"C:\\App\\Plainrun.exe", line));

    const std::vector<std::string> expected = {"session",     "query",  "duplicate", "close",
                                               "environment", "create", "close",     "close",
                                               "destroy",     "close"};
    EXPECT_EQ(launch.calls, expected);
    EXPECT_EQ(launch.querySession, 7u);
    EXPECT_NE(launch.processToken, nullptr);
    EXPECT_NE(launch.processToken, launch.duplicatedFrom);
    EXPECT_EQ(launch.environmentFor, launch.processToken);
    EXPECT_NE(launch.environmentPassed, nullptr);
    EXPECT_EQ(launch.creationFlags, 0x410u);
    EXPECT_EQ(launch.startup.cb, sizeof(STARTUPINFOW));  // 68 in the shipped 32-bit build
    EXPECT_EQ(launch.startup.dwFlags, 0u);
    EXPECT_EQ(launch.startupDesktop, L"Winsta0\\Default");
    EXPECT_EQ(launch.commandLine, L"Plainrun.exe \"=C:\\App\\LenspopUI.exe\"");
    launch.ExpectEverythingReleased();
}

TEST(HoistrunLaunch, EveryFailureReleasesWhatWasObtained) {
    PathBuffer line = L"Plainrun.exe \"=LenspopUI.exe\"";
    {
        FakeUserLaunchPort launch;
        launch.queryUserTokenSucceeds = false;
        EXPECT_FALSE(LaunchAsConsoleUser(launch, L"Plainrun.exe", line));
        EXPECT_EQ(launch.calls.back(), "query");
        launch.ExpectEverythingReleased();
    }
    {
        FakeUserLaunchPort launch;
        launch.duplicateSucceeds = false;
        EXPECT_FALSE(LaunchAsConsoleUser(launch, L"Plainrun.exe", line));
        EXPECT_EQ(launch.calls.back(), "close");  // the user token
        launch.ExpectEverythingReleased();
    }
    {
        FakeUserLaunchPort launch;
        launch.createProcessSucceeds = false;
        EXPECT_FALSE(LaunchAsConsoleUser(launch, L"Plainrun.exe", line));
        launch.ExpectEverythingReleased();
    }
    {
        FakeUserLaunchPort launch;
        launch.childHandlesInvalid = true;
        EXPECT_TRUE(LaunchAsConsoleUser(launch, L"Plainrun.exe", line));
        launch.ExpectEverythingReleased();
    }
}

TEST(HoistrunLaunch, MissingEnvironmentBlockStillLaunches) {
    FakeUserLaunchPort launch;
    launch.environmentSucceeds = false;
    PathBuffer line = L"Plainrun.exe \"=LenspopUI.exe\"";
    EXPECT_TRUE(LaunchAsConsoleUser(launch, L"Plainrun.exe", line));
    EXPECT_EQ(launch.environmentPassed, nullptr);
    EXPECT_EQ(std::count(launch.calls.begin(), launch.calls.end(), "destroy"), 0);
    launch.ExpectEverythingReleased();
}

}  // namespace
}  // namespace lensbeacon
