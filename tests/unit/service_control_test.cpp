// Status reports and the control handler's stop, session and power rules.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "lensbeacon/unique_owner.h"
#include "monitor_power_guid.h"
#include "service_control.h"
#include "watch_fakes.h"
#include "watch_worker.h"

namespace lensbeacon {
namespace {

std::vector<SERVICE_STATUS> g_reports;
BOOL WINAPI RecordStatus(SERVICE_STATUS_HANDLE, LPSERVICE_STATUS status) {
    g_reports.push_back(*status);
    return TRUE;
}

class ServiceControlTest : public ::testing::Test {
  protected:
    ServiceControlTest()
        : state(events.api()), system(stop.get()), reporter(nullptr, RecordStatus) {
        g_reports.clear();
        state.stopEvent = stop.get();
        state.events.Create();
        state.ready = 1;
    }

    void Session(DWORD type, DWORD session) {
        WTSSESSION_NOTIFICATION data{sizeof(data), session};
        EXPECT_EQ(control.Handle(SERVICE_CONTROL_SESSIONCHANGE, type, &data),
                  static_cast<DWORD>(NO_ERROR));
    }
    void Power(const GUID& guid, DWORD length, DWORD value) {
        alignas(POWERBROADCAST_SETTING) unsigned char buffer[sizeof(POWERBROADCAST_SETTING) + 8]{};
        auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
        setting->PowerSetting = guid;
        setting->DataLength = length;
        std::memcpy(setting->Data, &value, sizeof(value));
        control.Handle(SERVICE_CONTROL_POWEREVENT, PBT_POWERSETTINGCHANGE, setting);
    }
    bool ChangeSignaled() {
        return ::WaitForSingleObject(state.events.get(EventId::Change), 0) == WAIT_OBJECT_0;
    }

    UniqueHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    test::UnnamedEventPort events;
    WatchState state;
    test::FakeWatchPort system;
    ServiceStatusReporter reporter;
    ServiceControl control{state, system, reporter};
};

TEST_F(ServiceControlTest, StatusReportsCarryStatesControlsCheckPointsAndHints) {
    reporter.StartPending();
    reporter.Running();
    control.Handle(SERVICE_CONTROL_STOP, 0, nullptr);
    control.Handle(SERVICE_CONTROL_SHUTDOWN, 0, nullptr);  // already stopping: ignored
    reporter.Stopped();

    const DWORD expected[][4] = {{SERVICE_START_PENDING, 0, 1, 3000},
                                 {SERVICE_RUNNING, 0xC5, 0, 0},
                                 {SERVICE_STOP_PENDING, 0xC5, 2, 10000},
                                 {SERVICE_STOPPED, 0xC5, 0, 0}};
    ASSERT_EQ(g_reports.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g_reports[i].dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
        EXPECT_EQ(g_reports[i].dwCurrentState, expected[i][0]);
        EXPECT_EQ(g_reports[i].dwControlsAccepted, expected[i][1]);
        EXPECT_EQ(g_reports[i].dwCheckPoint, expected[i][2]);
        EXPECT_EQ(g_reports[i].dwWaitHint, expected[i][3]);
        EXPECT_EQ(g_reports[i].dwWin32ExitCode, 0u);
    }
    EXPECT_EQ(::WaitForSingleObject(stop.get(), 0), WAIT_OBJECT_0);
}

TEST_F(ServiceControlTest, NotificationsBeforeTheWatchBeginsAreIgnored) {
    state.ready = 0;
    Session(WTS_SESSION_LOGON, 2);
    Power(kMonitorPowerOn, 4, 0);
    EXPECT_TRUE(system.launches.empty());
    EXPECT_FALSE(ChangeSignaled());
    EXPECT_EQ(state.monitorOn, 1);
}

TEST_F(ServiceControlTest, LogonLaunchesOncePerServedSessionUntilLogoff) {
    state.userSessionServed = 1;
    state.pollCounter = 10;
    Session(WTS_SESSION_LOGON, 1);  // already served at start
    EXPECT_TRUE(system.launches.empty());
    EXPECT_FALSE(ChangeSignaled());
    EXPECT_EQ(state.pollCounter, 10);

    Session(WTS_SESSION_LOGOFF, 1);
    EXPECT_EQ(state.userSessionServed, 0u);
    Session(WTS_SESSION_LOGON, 1);
    EXPECT_EQ(system.launches, (std::vector<std::wstring>{L"user 1"}));
    EXPECT_TRUE(ChangeSignaled());
    EXPECT_EQ(state.pollCounter, 0);
    // Every logon and logoff has the record watch look at the hives again;
    // with no user's SID to be had, at no hive in particular.
    EXPECT_EQ(system.recordsLogons, (std::vector<std::wstring>{L"", L""}));
    EXPECT_EQ(system.recordsLogoffs, (std::vector<std::wstring>{L""}));
}

using Sids = std::vector<std::wstring>;
constexpr wchar_t kAda[] = L"S-1-5-21-1-2-3-1001";
constexpr wchar_t kBob[] = L"S-1-5-21-1-2-3-1002";

// A session's token is gone by its logoff: the SID learnt at the logon, or
// when the session was first seen, names the hive the record watch lets go.
TEST_F(ServiceControlTest, LogoffLetsGoOfTheHiveOfTheUserLearntWhileTheTokenWasThere) {
    system.sessionSids = {{2, kAda}, {3, kBob}, {4, kBob}};
    Session(WTS_SESSION_LOGON, 2);
    Session(WTS_SESSION_UNLOCK, 3);  // signed in before, first seen now
    system.sessionSids.erase(2);
    system.sessionSids.erase(3);
    Session(WTS_SESSION_LOGOFF, 2);
    Session(WTS_SESSION_LOGOFF, 3);
    Session(WTS_SESSION_LOGOFF, 4);  // never seen, its token still there
    Session(WTS_SESSION_LOGOFF, 5);  // never seen, no token: nobody in particular
    EXPECT_EQ(system.recordsLogons, Sids{kAda});
    EXPECT_EQ(system.recordsLogoffs, (Sids{kAda, kBob, kBob, L""}));
}

TEST_F(ServiceControlTest, AHiveStaysWatchedWhileItsUserHasAnotherSession) {
    system.sessionSids = {{2, kAda}, {6, kAda}};
    Session(WTS_SESSION_LOGON, 2);
    Session(WTS_SESSION_LOGON, 6);
    system.sessionSids.clear();
    Session(WTS_SESSION_LOGOFF, 2);
    Session(WTS_SESSION_LOGOFF, 6);
    // A session number used again by someone else.
    system.sessionSids = {{2, kBob}};
    Session(WTS_SESSION_LOGON, 2);
    system.sessionSids.clear();
    Session(WTS_SESSION_LOGOFF, 2);
    EXPECT_EQ(system.recordsLogons, (Sids{kAda, kAda, kBob}));
    EXPECT_EQ(system.recordsLogoffs, (Sids{L"", kAda, kBob}));
}

// The people signed in before the watch began are learnt at its start,
// while their tokens are there.
TEST_F(ServiceControlTest, SessionsFromBeforeTheStartAreLearntByTheWorker) {
    WatchState run(events.api());
    run.stopEvent = stop.get();
    test::FakeWatchPort worker(stop.get());
    worker.sessions = {0, 1, 2};
    worker.sessionSids = {{1, kAda}, {2, kBob}};
    worker.At(500, [this] { ::SetEvent(stop.get()); });
    WatchWorker(run, worker).RunWorker();
    ::ResetEvent(stop.get());

    worker.sessionSids.clear();
    ServiceControl handler{run, worker, reporter};
    WTSSESSION_NOTIFICATION data{sizeof(data), 2};
    handler.Handle(SERVICE_CONTROL_SESSIONCHANGE, WTS_SESSION_LOGOFF, &data);
    EXPECT_EQ(worker.recordsLogoffs, Sids{kBob});
}

TEST_F(ServiceControlTest, ConsoleConnectStartsTheLogonIndicatorInNewSessions) {
    state.consoleSessionServed = 1;
    Session(WTS_CONSOLE_CONNECT, 1);
    Session(WTS_CONSOLE_CONNECT, 4);
    Session(WTS_CONSOLE_DISCONNECT, 1);
    Session(WTS_CONSOLE_CONNECT, 1);
    EXPECT_EQ(system.launches, (std::vector<std::wstring>{L"logon 4", L"logon 1"}));
}

TEST_F(ServiceControlTest, NoLaunchesOnceStopIsRequested) {
    ::SetEvent(stop.get());
    Session(WTS_SESSION_LOGON, 2);
    Session(WTS_CONSOLE_CONNECT, 2);
    EXPECT_TRUE(system.launches.empty());
}

TEST_F(ServiceControlTest, OnlyWellFormedMonitorPowerValuesMoveTheFlag) {
    Power(kMonitorPowerOn, 4, 0);
    EXPECT_EQ(state.monitorOn, 0);
    Power(kMonitorPowerOn, 4, 2);  // dimmed
    EXPECT_EQ(state.monitorOn, 0);
    GUID other = kMonitorPowerOn;
    other.Data4[7] ^= 1;
    Power(other, 4, 1);
    EXPECT_EQ(state.monitorOn, 0);
    Power(kMonitorPowerOn, 2, 1);
    EXPECT_EQ(state.monitorOn, 0);
    control.Handle(SERVICE_CONTROL_POWEREVENT, PBT_POWERSETTINGCHANGE, nullptr);
    control.Handle(SERVICE_CONTROL_SESSIONCHANGE, WTS_SESSION_LOGON, nullptr);
    Power(kMonitorPowerOn, 4, 1);
    EXPECT_EQ(state.monitorOn, 1);
}

}  // namespace
}  // namespace lensbeacon
