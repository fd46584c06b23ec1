// The indicator's start-up and session decisions: desktop name, version
// flags and the logon-screen test, the single-instance rule, the
// session-change table and when the position is saved.
#include <gtest/gtest.h>
#include <windows.h>
#include <wtsapi32.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "desktop_kind.h"
#include "session_change.h"
#include "single_instance.h"
#include "windows_version.h"

namespace lensbeacon::indicator {
namespace {

TEST(DesktopKind, OnlyExactWinlogonIsTheLogonDesktop) {
    EXPECT_FALSE(IsOrdinaryDesktopName(L"Winlogon"));
    for (const wchar_t* name : {L"winlogon", L"Default", L"Winlogon2", L"", L"WINLOGON"}) {
        EXPECT_TRUE(IsOrdinaryDesktopName(name));
    }
    EXPECT_TRUE(IsOrdinaryDesktopName(nullptr));
}

TEST(WindowsVersion, FlagsByMajorAndMinor) {
    struct Case {
        DWORD major, minor;
        BOOL v10, v62, v61;
    };
    for (const Case& c : {Case{6, 0, FALSE, FALSE, FALSE}, Case{6, 1, FALSE, FALSE, TRUE},
                          Case{6, 2, FALSE, TRUE, TRUE}, Case{6, 3, FALSE, TRUE, TRUE},
                          Case{10, 0, TRUE, TRUE, TRUE}, Case{5, 2, FALSE, FALSE, FALSE}}) {
        const WindowsVersion v = VersionFlags(c.major, c.minor);
        EXPECT_EQ(v.v10, c.v10) << c.major << "." << c.minor;
        EXPECT_EQ(v.v62, c.v62) << c.major << "." << c.minor;
        EXPECT_EQ(v.v61, c.v61) << c.major << "." << c.minor;
    }
}

class FakeFinder : public WindowFinderPort {
  public:
    std::set<std::wstring> topLevel;
    bool hasContent = false;
    std::vector<std::wstring> asked;

    HWND FindTopLevel(const wchar_t* className) override {
        asked.push_back(className);
        return topLevel.count(className) ? reinterpret_cast<HWND>(0x10) : nullptr;
    }
    HWND FindChild(HWND parent, const wchar_t* className) override {
        return parent == reinterpret_cast<HWND>(0x10) &&
                       std::wstring(className) == L"DirectUIHWND" && hasContent
                   ? reinterpret_cast<HWND>(0x20)
                   : nullptr;
    }
};

TEST(LogonUIReady, LooksForTheVersionsWindowAndItsContent) {
    FakeFinder finder;
    finder.topLevel = {L"LogonUI Logon Window"};
    EXPECT_FALSE(IsLogonUIReady(VersionFlags(10, 0), finder));
    finder.hasContent = true;
    EXPECT_TRUE(IsLogonUIReady(VersionFlags(10, 0), finder));
    // Windows 7 to 8.1 use the older class name.
    EXPECT_FALSE(IsLogonUIReady(VersionFlags(6, 3), finder));
    finder.topLevel = {L"AUTHUI.DLL: LogonUI Logon Window"};
    EXPECT_TRUE(IsLogonUIReady(VersionFlags(6, 1), finder));
    // Vista, and a version that could not be read, answer without looking.
    finder.asked.clear();
    finder.topLevel.clear();
    EXPECT_TRUE(IsLogonUIReady(VersionFlags(6, 0), finder));
    EXPECT_TRUE(IsLogonUIReady(WindowsVersion{}, finder));
    EXPECT_TRUE(finder.asked.empty());
}

// A namespace of mutexes by name with an owner each; handles are counted so
// that every one not kept is seen closed.
class FakeMutexPort : public MutexPort {
  public:
    enum class Existing { None, Opens, Unopenable, Race };
    Existing existing = Existing::None;
    MutexOwner owner = MutexOwner::ThisAccount;
    bool createFails = false;
    std::set<HANDLE> open;
    std::uintptr_t next = 0x100;

    HANDLE OpenMutex(const wchar_t*, DWORD& error) override {
        switch (existing) {
            case Existing::Opens:
                return New();
            case Existing::Unopenable:
                error = ERROR_ACCESS_DENIED;
                return nullptr;
            default:
                error = ERROR_FILE_NOT_FOUND;
                return nullptr;
        }
    }
    HANDLE CreateOwnedMutex(const wchar_t*, bool& alreadyExisted) override {
        alreadyExisted = existing == Existing::Race;
        return createFails ? nullptr : New();
    }
    MutexOwner Owner(HANDLE mutex) override {
        EXPECT_TRUE(open.count(mutex));
        return owner;
    }
    void CloseMutex(HANDLE mutex) override { EXPECT_EQ(open.erase(mutex), 1u); }

  private:
    HANDLE New() {
        const HANDLE h = reinterpret_cast<HANDLE>(next++);
        open.insert(h);
        return h;
    }
};

TEST(SingleInstance, OnlyAMutexOfThisAccountMeansAnotherInstance) {
    using E = FakeMutexPort::Existing;
    using O = MutexOwner;
    struct Case {
        E existing;
        O owner;
        bool createFails, another, holds;
    };
    const Case cases[] = {
        {E::None, O::OtherAccount, false, false, true},
        {E::None, O::ThisAccount, true, false, false},
        {E::Opens, O::ThisAccount, false, true, false},
        {E::Opens, O::NotRecorded, false, true, false},
        {E::Opens, O::OtherAccount, false, false, false},
        {E::Opens, O::Unreadable, false, false, false},
        {E::Unopenable, O::ThisAccount, false, false, false},
        {E::Race, O::ThisAccount, false, true, false},
        {E::Race, O::OtherAccount, false, false, false},
    };
    for (const Case& c : cases) {
        FakeMutexPort api;
        api.existing = c.existing;
        api.owner = c.owner;
        api.createFails = c.createFails;
        const InstanceDecision d = DecideInstance(kLogonDesktopMutexName, api);
        const auto row = &c - cases;
        EXPECT_EQ(d.anotherInstance, c.another) << "row " << row;
        EXPECT_EQ(d.held != nullptr, c.holds) << "row " << row;
        // Only the held mutex stays open.
        EXPECT_EQ(api.open.size(), c.holds ? 1u : 0u) << "row " << row;
    }
    EXPECT_STREQ(InstanceMutexName(TRUE), L"Lensbeacon Mutex");
    EXPECT_STREQ(InstanceMutexName(FALSE), L"Lensbeacon Mutex (Winlogon)");
}

class RecordingSessionChangePort : public SessionChangePort {
  public:
    std::vector<std::string> calls;
    void RestorePosition() override { calls.push_back("restore"); }
    void SavePosition() override { calls.push_back("save"); }
    void PostShowHide(LPARAM showOrHide) override {
        calls.push_back(showOrHide == kOsdShow ? "show" : "hide");
    }
};

using Calls = std::vector<std::string>;

TEST(SessionChange, TableOfNotificationsByDesktopKind) {
    struct Case {
        WPARAM code;
        BOOL ordinary;
        std::int32_t console, lock, camera;
        Calls calls;
        std::int32_t consoleAfter, lockAfter;
    };
    const Case cases[] = {
        {WTS_CONSOLE_CONNECT, TRUE, 0, 1, 1, {"restore", "show"}, 1, 1},
        {WTS_CONSOLE_CONNECT, FALSE, 0, 1, 1, {"restore"}, 1, 1},
        {WTS_CONSOLE_CONNECT, TRUE, 2, 1, 1, {}, 1, 1},
        {WTS_CONSOLE_DISCONNECT, TRUE, 1, 1, 1, {"hide"}, 0, 1},
        {WTS_CONSOLE_DISCONNECT, FALSE, 1, 0, 1, {"save", "hide"}, 0, 0},
        {WTS_CONSOLE_DISCONNECT, FALSE, 1, 0, 0, {"save"}, 0, 0},
        {WTS_CONSOLE_DISCONNECT, FALSE, 2, 0, 1, {}, 0, 0},
        {WTS_SESSION_LOCK, TRUE, 1, 1, 1, {"hide"}, 1, 0},
        {WTS_SESSION_LOCK, FALSE, 1, 1, 1, {"show"}, 1, 0},
        {WTS_SESSION_UNLOCK, TRUE, 1, 0, 1, {"show"}, 1, 1},
        {WTS_SESSION_UNLOCK, FALSE, 1, 0, 1, {"hide"}, 1, 1},
        // Camera off, off the console, or a state not yet known: no post, but
        // the new state is stored.
        {WTS_SESSION_LOCK, FALSE, 1, 1, 0, {}, 1, 0},
        {WTS_SESSION_LOCK, TRUE, 0, 1, 1, {}, 0, 0},
        {WTS_SESSION_LOCK, TRUE, 2, 1, 1, {}, 2, 0},
        {WTS_SESSION_LOCK, TRUE, 1, 2, 1, {}, 1, 0},
        {WTS_SESSION_UNLOCK, FALSE, 1, 2, 1, {}, 1, 1},
        {WTS_SESSION_LOGON, TRUE, 0, 0, 1, {}, 0, 0},
    };
    for (const Case& c : cases) {
        IndicatorState state;
        state.ordinaryDesktop = c.ordinary;
        state.consoleState = c.console;
        state.lockState = c.lock;
        state.cameraOn = c.camera;
        RecordingSessionChangePort actions;
        HandleSessionChange(c.code, state, actions);
        const auto row = static_cast<std::size_t>(&c - cases);
        EXPECT_EQ(actions.calls, c.calls) << "row " << row;
        EXPECT_EQ(state.consoleState.load(), c.consoleAfter) << "row " << row;
        EXPECT_EQ(state.lockState.load(), c.lockAfter) << "row " << row;
    }
}

TEST(EndSession, OnlyARealEndOnTheLogonDesktopSavesOnce) {
    IndicatorState logon;
    logon.ordinaryDesktop = FALSE;
    logon.consoleState = 1;
    RecordingSessionChangePort actions;
    // A cancelled end saves nothing, and the shut-down still will.
    HandleEndSession(FALSE, logon, actions);
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_FALSE(logon.positionSaved);
    EXPECT_TRUE(SavesAtShutdown(logon));
    HandleEndSession(TRUE, logon, actions);
    EXPECT_EQ(actions.calls, (Calls{"save"}));
    EXPECT_TRUE(logon.positionSaved);
    EXPECT_FALSE(SavesAtShutdown(logon));

    IndicatorState user;
    user.consoleState = 1;
    EXPECT_FALSE(SavesAtEndSession(TRUE, user));
    EXPECT_FALSE(SavesAtShutdown(user));
    logon.consoleState = 0;
    EXPECT_FALSE(SavesAtEndSession(TRUE, logon));
}

}  // namespace
}  // namespace lensbeacon::indicator
