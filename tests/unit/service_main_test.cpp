// The service main function's sequence and its hand-over of the stop event to
// the control handler, which runs on the dispatcher's thread.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lensbeacon/unique_owner.h"
#include "service_control.h"
#include "service_main.h"
#include "watch_fakes.h"

namespace lensbeacon {
namespace {

std::vector<DWORD> g_states;
BOOL WINAPI RecordState(SERVICE_STATUS_HANDLE, LPSERVICE_STATUS status) {
    g_states.push_back(status->dwCurrentState);
    return TRUE;
}

// Hands out a real unnamed event the test owns, so a handle the service
// closed by mistake would show as invalid afterwards.
class FakeServiceMainPort : public ServiceMainPort {
  public:
    bool registers = true;
    bool workerStarts = true;
    std::vector<std::string> calls;
    std::function<void()> duringJoin;  // a control arriving while the worker ends
    UniqueHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    bool RegisterHandler() override {
        calls.push_back("register");
        return registers;
    }
    HANDLE CreateStopEvent() override {
        calls.push_back("create stop");
        return stop.get();
    }
    bool StartWorker() override {
        calls.push_back("start worker");
        return workerStarts;
    }
    void WaitForStop(HANDLE event) override {
        calls.push_back("wait");
        EXPECT_EQ(event, stop.get());
        ::SetEvent(event);  // the stop has come
    }
    void JoinWorker(DWORD timeoutMs) override {
        calls.push_back("join " + std::to_string(timeoutMs));
        if (duringJoin) {
            duringJoin();
        }
    }
};

class ServiceMainTest : public ::testing::Test {
  protected:
    ServiceMainTest() : state(events.api()), system(api.stop.get()) { g_states.clear(); }

    test::UnnamedEventPort events;
    FakeServiceMainPort api;
    WatchState state;
    test::FakeWatchPort system;
    ServiceStatusReporter reporter{nullptr, RecordState};
    ServiceControl control{state, system, reporter};
};

TEST_F(ServiceMainTest, PublishesTheStopEventBeforeRunningAndKeepsItOpenAfterTheStop) {
    api.duringJoin = [&] {
        EXPECT_EQ(state.stopEvent.load(), api.stop.get());
        control.Handle(SERVICE_CONTROL_STOP, 0, nullptr);
    };
    RunServiceMain(state, reporter, api);

    EXPECT_EQ(api.calls, (std::vector<std::string>{"register", "create stop", "start worker",
                                                   "wait", "join 10000"}));
    EXPECT_EQ(g_states, (std::vector<DWORD>{SERVICE_START_PENDING, SERVICE_RUNNING,
                                            SERVICE_STOP_PENDING, SERVICE_STOPPED}));
    // Still published and still a live event: a control arriving now waits on
    // or sets the real stop event, never a closed or reused handle.
    EXPECT_EQ(state.stopEvent.load(), api.stop.get());
    EXPECT_EQ(events.closes, 0);
    EXPECT_EQ(::WaitForSingleObject(state.stopEvent.load(), 0), static_cast<DWORD>(WAIT_OBJECT_0));

    // A logon after the run counts as a stop request: nothing is started.
    state.ready = 1;
    WTSSESSION_NOTIFICATION logon{sizeof(logon), 2};
    control.Handle(SERVICE_CONTROL_SESSIONCHANGE, WTS_SESSION_LOGON, &logon);
    EXPECT_TRUE(system.launches.empty());
}

TEST_F(ServiceMainTest, StopSetsThePublishedEventThroughTheEventCallsAfterReportingPending) {
    state.stopEvent = api.stop.get();
    control.Handle(SERVICE_CONTROL_STOP, 0, nullptr);
    EXPECT_EQ(g_states, (std::vector<DWORD>{SERVICE_STOP_PENDING}));
    EXPECT_EQ(events.sets, (std::vector<std::wstring>{L""}));
    EXPECT_EQ(::WaitForSingleObject(api.stop.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST_F(ServiceMainTest, FailuresSkipWhatDependsOnThem) {
    api.registers = false;
    RunServiceMain(state, reporter, api);
    EXPECT_EQ(api.calls, (std::vector<std::string>{"register"}));
    EXPECT_TRUE(g_states.empty());

    api.registers = true;
    api.workerStarts = false;
    api.calls.clear();
    RunServiceMain(state, reporter, api);
    // Without a worker there is nothing to join.
    EXPECT_EQ(api.calls,
              (std::vector<std::string>{"register", "create stop", "start worker", "wait"}));
    EXPECT_EQ(g_states.back(), static_cast<DWORD>(SERVICE_STOPPED));

    // A later run in the same process reuses the published event, cleared.
    api.calls.clear();
    api.workerStarts = true;
    api.duringJoin = [&] { EXPECT_EQ(state.stopEvent.load(), api.stop.get()); };
    RunServiceMain(state, reporter, api);
    EXPECT_EQ(api.calls,
              (std::vector<std::string>{"register", "start worker", "wait", "join 10000"}));
}

}  // namespace
}  // namespace lensbeacon
