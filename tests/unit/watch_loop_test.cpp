// The worker and both watch modes, on a virtual clock.
#include <gtest/gtest.h>

#include <vector>

#include "lensbeacon/unique_owner.h"
#include "watch_fakes.h"
#include "watch_worker.h"

namespace lensbeacon {
namespace {

using test::FakeWatchPort;
using Times = std::vector<int64_t>;

Times Range(int64_t firstSecond, int64_t lastSecond) {
    Times ms;
    for (int64_t s = firstSecond; s <= lastSecond; ++s)
        ms.push_back(s * 1000);
    return ms;
}

Times Concat(Times a, const Times& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class WatchLoopTest : public ::testing::Test {
  protected:
    WatchLoopTest() : state(events.api()), system(stop.get()) { state.stopEvent = stop.get(); }

    void StopAt(int64_t ms) {
        system.At(ms, [this] { ::SetEvent(stop.get()); });
    }
    void SetAt(int64_t ms, EventId id) {
        system.At(ms, [this, id] { ::SetEvent(state.events.get(id)); });
    }
    void Run() { WatchWorker(state, system).RunWorker(); }
    bool ServiceSignaled() const {
        for (const auto& name : events.sets) {
            if (name == kServiceEventName)
                return true;
        }
        return false;
    }

    UniqueHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    test::UnnamedEventPort events;
    WatchState state;
    FakeWatchPort system;
};

TEST_F(WatchLoopTest, ChangeDrivenStartsWithTenChecksThenSleepsUntilChange) {
    SetAt(60'000, EventId::Change);
    StopAt(100'000);
    Run();

    EXPECT_EQ(system.CheckTimes(), Concat(Range(0, 9), Range(60, 62)));
    for (const auto& check : system.checks)
        EXPECT_FALSE(check.countPipes);
    EXPECT_EQ(system.launches, (std::vector<std::wstring>{L"logon 1", L"user 1"}));
    EXPECT_EQ(state.ready, 1);
    EXPECT_TRUE(ServiceSignaled());
}

TEST_F(WatchLoopTest, LogonDuringSleepGivesTenChecksAndChangeDuringBurstThreeMore) {
    // The control handler's logon: counter to 0, then Change.
    system.At(50'000, [this] {
        state.pollCounter = 0;
        ::SetEvent(state.events.get(EventId::Change));
    });
    // A Change inside the logon burst is consumed once the burst is over.
    SetAt(53'500, EventId::Change);
    StopAt(200'000);
    Run();

    EXPECT_EQ(system.CheckTimes(), Concat(Concat(Range(0, 9), Range(50, 59)), Range(61, 63)));
}

TEST_F(WatchLoopTest, PublishesTheCheckAnswerAndOffForNoDevice) {
    system.deviceResult = [](int64_t now) {
        if (now < 3000)
            return 1;
        return now < 6000 ? 2 : 0;
    };
    std::vector<CameraState> seen;
    for (int64_t s = 0; s < 8; ++s) {
        system.At(s * 1000 + 500, [this, &seen] { seen.push_back(state.publisher.published()); });
    }
    StopAt(9'500);
    Run();
    EXPECT_EQ(seen, (std::vector<CameraState>{CameraState::On, CameraState::On, CameraState::On,
                                              CameraState::Off, CameraState::Off, CameraState::Off,
                                              CameraState::Off, CameraState::Off}));
}

TEST_F(WatchLoopTest, MonitorOffSuppressesChecksButTheCounterRunsOn) {
    state.monitorOn = 0;
    system.At(30'000, [this] { state.monitorOn = 1; });
    SetAt(40'000, EventId::Change);
    StopAt(100'000);
    Run();
    // The burst passed in the dark; only the Change brings checks.
    EXPECT_EQ(system.CheckTimes(), Range(40, 42));
}

TEST_F(WatchLoopTest, StopDuringABurstEndsWithinOnePass) {
    StopAt(3'500);
    Run();
    EXPECT_LE(system.now(), 4'500);
    EXPECT_EQ(system.CheckTimes(), Range(0, 3));
    EXPECT_TRUE(ServiceSignaled());
    EXPECT_EQ(system.calls,
              (std::vector<std::string>{"register", "unregister", "end trace", "join trace 8000"}));
    EXPECT_EQ(system.listenerJoins, (std::vector<DWORD>{1000}));
    EXPECT_EQ(system.cacheFrees, 2);
    for (std::size_t i = 0; i < kEventCount; ++i) {
        EXPECT_EQ(state.events.get(static_cast<EventId>(i)), nullptr);
    }
}

TEST_F(WatchLoopTest, ListenerEndsBeforeTheSharedEventsAreClosed) {
    bool eventsOpenAtJoin = false;
    system.onListenerJoin = [&] {
        eventsOpenAtJoin = state.events.get(EventId::SettingEnable) != nullptr &&
                           state.events.get(EventId::On) != nullptr;
    };
    StopAt(1'500);
    Run();
    EXPECT_TRUE(eventsOpenAtJoin);
    EXPECT_TRUE(ServiceSignaled());
    EXPECT_EQ(state.events.get(EventId::SettingEnable), nullptr);
}

TEST_F(WatchLoopTest, SwitchTurnedOffDuringACheckIsNotUndoneByItsAnswer) {
    // The setting listener turns the switch off (and forces "off") while the
    // check that finds the camera in use is still running.
    system.deviceResult = [this](int64_t now) {
        if (now == 3000) {
            state.switchOn = 0;
            state.publisher.Publish(CameraState::Off);
            return 1;
        }
        return 0;
    };
    bool onSignaled = true;
    system.At(3'500, [&] {
        onSignaled = ::WaitForSingleObject(state.events.get(EventId::On), 0) == WAIT_OBJECT_0;
    });
    StopAt(5'500);
    Run();
    EXPECT_FALSE(onSignaled);
    EXPECT_EQ(state.publisher.published(), CameraState::Off);
    for (const auto& name : events.sets)
        EXPECT_NE(name, kOnEventName);
}

TEST_F(WatchLoopTest, NoCameraLightMeansNoEventsAndNoWatch) {
    system.noLed = true;
    Run();
    EXPECT_EQ(state.events.get(EventId::On), nullptr);
    EXPECT_TRUE(system.checks.empty());
    EXPECT_TRUE(system.launches.empty());
    EXPECT_TRUE(system.listenerJoins.empty());
}

TEST_F(WatchLoopTest, SwitchOnAtStartIsPublishedThroughSettingEnable) {
    StopAt(1'000);
    HANDLE enable = nullptr;
    system.At(500, [&] { enable = state.events.get(EventId::SettingEnable); });
    bool enableSignaled = false;
    system.At(600, [&] { enableSignaled = ::WaitForSingleObject(enable, 0) == WAIT_OBJECT_0; });
    Run();
    EXPECT_TRUE(enableSignaled);
}

TEST_F(WatchLoopTest, SwitchOffAtStartWaitsForTheUserThenStartsEverything) {
    system.showOsd = false;
    system.At(30'000, [this] {
        // The settings program turns the switch on: enable, then pulse.
        EXPECT_TRUE(system.launches.empty());
        EXPECT_EQ(state.ready, 0);
        ::SetEvent(state.events.get(EventId::SettingEnable));
    });
    StopAt(35'500);
    Run();
    EXPECT_EQ(system.showOsdWrites, (std::vector<bool>{true}));
    EXPECT_EQ(system.launches, (std::vector<std::wstring>{L"logon 1", L"user 1"}));
    EXPECT_EQ(system.CheckTimes(), Range(30, 35));
}

TEST_F(WatchLoopTest, StopWhileWaitingForTheSwitchEndsWithoutServiceEvent) {
    system.showOsd = false;
    StopAt(5'000);
    Run();
    EXPECT_FALSE(ServiceSignaled());
    EXPECT_EQ(state.ready, 0);
    EXPECT_TRUE(system.launches.empty());
    EXPECT_TRUE(system.calls.empty());
    EXPECT_EQ(system.listenerJoins, (std::vector<DWORD>{1000}));
}

TEST_F(WatchLoopTest, ConsoleWithoutUserGetsOnlyTheLogonIndicator) {
    system.console = {3, false};
    StopAt(500);
    Run();
    EXPECT_EQ(system.launches, (std::vector<std::wstring>{L"logon 3"}));
    EXPECT_EQ(state.consoleSessionServed, 3u);
    EXPECT_EQ(state.userSessionServed, 0u);

    system.console = {0, true};
    system.launches.clear();
    ::ResetEvent(stop.get());
    StopAt(system.now() + 500);
    Run();
    EXPECT_TRUE(system.launches.empty());
}

TEST_F(WatchLoopTest, UsbModeChecksEveryStartupPassThenFollowsTheTrace) {
    system.usbMode = true;
    // The trace sees a capture filter load at 20 s and its unload at 25 s.
    system.At(20'000, [this] {
        system.traceIdle = 0;
        ::SetEvent(system.traceActive);
    });
    system.At(25'000, [this] {
        system.traceIdle = 1;
        ::ResetEvent(system.traceActive);
        ::SetEvent(system.traceIdleEvent);
    });
    StopAt(40'000);
    Run();

    EXPECT_EQ(system.CheckTimes(), Concat(Range(0, 9), Range(20, 24)));
    for (const auto& check : system.checks)
        EXPECT_TRUE(check.countPipes);
    EXPECT_EQ(system.handOverAtMs, 10'000);
    EXPECT_EQ(system.traceThreadStarts, 1);
}

TEST_F(WatchLoopTest, UsbModeChecksEverySecondWhileTheCameraIsOn) {
    system.usbMode = true;
    system.deviceResult = [](int64_t now) { return now < 15'000 ? 1 : 0; };
    StopAt(30'000);
    Run();
    // Trace idle, but the published state is on: one check per second until off.
    EXPECT_EQ(system.CheckTimes(), Range(0, 15));
}

TEST_F(WatchLoopTest, UsbModeAfterTraceFailOverChecksEverySecond) {
    system.usbMode = true;
    system.onTraceStart = [this] {
        // The kernel logger could not start: active for good.
        system.traceIdle = 0;
        ::SetEvent(system.traceActive);
    };
    StopAt(20'500);
    Run();
    EXPECT_EQ(system.CheckTimes(), Range(0, 20));
}

TEST_F(WatchLoopTest, UsbModeWithoutTraceThreadChecksOnlyWhileOn) {
    system.usbMode = true;
    system.traceStartSucceeds = false;
    system.deviceResult = [](int64_t now) { return now >= 5'000 && now < 12'000 ? 1 : 0; };
    StopAt(30'000);
    Run();
    EXPECT_EQ(system.CheckTimes(), Range(0, 12));
    EXPECT_EQ(system.traceThreadStarts, 1);
}

TEST_F(WatchLoopTest, ChangeDrivenRecordsWakeACheckAndKeepItGoingWhileHeld) {
    // An app starts holding the camera long after the start burst, and its
    // record's Stop comes as the device leaves D0.
    system.deviceResult = [](int64_t now) { return now >= 30'000 && now < 35'500 ? 1 : 0; };
    system.RecordsChangeAt(30'000, 1);
    system.RecordsChangeAt(35'500, 0);
    // A change of the records that holds nothing wakes the loop but looks
    // at nothing.
    system.RecordsChangeAt(50'000, 0);
    StopAt(100'000);
    Run();
    // At once on the record, every second while held, once more at its end.
    EXPECT_EQ(system.CheckTimes(), Concat(Concat(Range(0, 9), Range(30, 35)), Times{35'500}));
    EXPECT_EQ(state.publisher.published(), CameraState::Off);
    EXPECT_EQ(system.recordWatchStarts, 1);
    EXPECT_EQ(system.recordWatchStops, 1);
}

TEST_F(WatchLoopTest, ChangeDrivenCameraStillOnAfterTheBurstIsLookedAtEverySecond) {
    system.deviceResult = [](int64_t now) { return now < 14'000 ? 1 : 0; };
    StopAt(100'000);
    Run();
    EXPECT_EQ(system.CheckTimes(), Range(0, 14));
    EXPECT_EQ(state.publisher.published(), CameraState::Off);
}

TEST_F(WatchLoopTest, UsbModeRecordsWakeACheckBesideTheTrace) {
    system.usbMode = true;
    system.deviceResult = [](int64_t now) { return now >= 20'300 && now < 23'000 ? 1 : 0; };
    system.RecordsChangeAt(20'300, 1);
    system.RecordsChangeAt(24'600, 0);
    StopAt(40'000);
    Run();
    // Startup passes stay ten seconds long; the record brings a check at
    // once, then one a second while it holds, with the trace idle throughout.
    // Its Stop, with the camera already off, looks at nothing.
    EXPECT_EQ(system.CheckTimes(),
              Concat(Range(0, 9), Times{20'300, 21'300, 22'300, 23'300, 24'300}));
    EXPECT_EQ(system.handOverAtMs, 10'000);
}

TEST_F(WatchLoopTest, StaleRecordsBringOneLookAtTheirChangeAndNoPolling) {
    for (const bool usb : {false, true}) {
        FakeWatchPort fresh(stop.get());
        ::ResetEvent(stop.get());
        FakeWatchPort& s = fresh;
        s.usbMode = usb;
        // A record held by a program that no longer runs.
        s.RecordsChangeAt(30'000, 1, false);
        s.At(100'000, [this] { ::SetEvent(stop.get()); });
        WatchState run(events.api());
        run.stopEvent = stop.get();
        WatchWorker(run, s).RunWorker();
        EXPECT_EQ(s.CheckTimes(), Concat(Range(0, 9), Times{30'000})) << "usb " << usb;
        EXPECT_FALSE(s.checks.back().liveRecordHeld);
    }
}

TEST_F(WatchLoopTest, KilledHolderTurnsTheCameraOffAtTheNextCheck) {
    // A USB camera in D0 counts only while the live record backs it up.
    system.deviceResult = [this](int64_t now) {
        return now >= 30'000 && system.checks.back().liveRecordHeld ? 1 : 0;
    };
    system.RecordsChangeAt(30'000, 1);
    system.HolderEndsAt(33'500);  // killed: its record stays held
    StopAt(60'000);
    Run();
    EXPECT_EQ(system.CheckTimes(), Concat(Range(0, 9), Range(30, 34)));
    EXPECT_TRUE(system.checks[13].liveRecordHeld);
    EXPECT_FALSE(system.checks[14].liveRecordHeld);
    EXPECT_EQ(state.publisher.published(), CameraState::Off);
}

TEST_F(WatchLoopTest, ForgedStopLeavesACameraOnByItsDevicesOn) {
    system.deviceResult = [](int64_t now) { return now >= 30'000 && now < 40'000 ? 1 : 0; };
    system.RecordsChangeAt(30'000, 1);
    system.RecordsChangeAt(31'500, 0);  // a Stop written while the camera streams
    StopAt(60'000);
    Run();
    // Looked at once more on the Stop, then every second, on until the
    // device says off.
    Times afterStop;
    for (int64_t at = 31'500; at <= 40'500; at += 1000) {
        afterStop.push_back(at);
    }
    EXPECT_EQ(system.CheckTimes(), Concat(Concat(Range(0, 9), Range(30, 31)), afterStop));
    EXPECT_EQ(state.publisher.published(), CameraState::Off);
}

// A call's record is written in two steps (its Stop cleared, then its
// Start): the first asks for no look, so it must not hold the second back.
TEST_F(WatchLoopTest, ARecordChangeThatAsksForNoLookStartsNoQuietTime) {
    system.deviceResult = [](int64_t now) { return now >= 30'000 ? 1 : 0; };
    system.RecordsChangeAt(30'000, 0);
    system.RecordsChangeAt(30'010, 1);
    StopAt(30'500);
    Run();
    EXPECT_EQ(system.CheckTimes(), Concat(Range(0, 9), Times{30'010}));
}

TEST_F(WatchLoopTest, RecordChurnFoldsIntoFourChecksASecond) {
    for (const bool usb : {false, true}) {
        FakeWatchPort fresh(stop.get());
        ::ResetEvent(stop.get());
        fresh.usbMode = usb;
        // A program rewrites its record every 10 ms for two seconds.
        for (int64_t at = 30'000; at < 32'000; at += 10) {
            fresh.RecordsChangeAt(at, 1, false);
        }
        fresh.At(60'000, [this] { ::SetEvent(stop.get()); });
        WatchState run(events.api());
        run.stopEvent = stop.get();
        WatchWorker(run, fresh).RunWorker();
        // The first change is looked at once; the rest fold into one check
        // at the end of each quiet time.
        EXPECT_EQ(fresh.CheckTimes(),
                  Concat(Range(0, 9), Times{30'000, 30'250, 30'500, 30'750, 31'000, 31'250, 31'500,
                                            31'750, 32'000}))
            << "usb " << usb;
    }
}

}  // namespace
}  // namespace lensbeacon
