// The setting listener: the user's switch, the organisation's policy with
// its quiet time and the policy watch's retries, and the policy at the
// watch's start, on a virtual clock.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lensbeacon/unique_owner.h"
#include "setting_listener.h"
#include "watch_fakes.h"
#include "watch_worker.h"

namespace lensbeacon {
namespace {

struct WatchPolicyTest : ::testing::Test {
    WatchPolicyTest() : state(events.api()), system(stop.get()) { state.stopEvent = stop.get(); }
    bool Signaled(EventId id) {
        return ::WaitForSingleObject(state.events.get(id), 0) == WAIT_OBJECT_0;
    }
    // The policy key changes at `ms`: "ShowOSD" reads `showOsd` from then on.
    void PolicyAt(int64_t ms, PolicySetting showOsd) {
        system.At(ms, [this, showOsd] {
            system.policy.showOsd = showOsd;
            ::SetEvent(system.policyEvent.get());
        });
    }
    void StopAt(int64_t ms) {
        system.At(ms, [this] { ::SetEvent(stop.get()); });
    }
    // Runs `check` at `ms` and keeps what it says.
    void CheckAt(int64_t ms, std::vector<bool>& seen, std::function<bool()> check) {
        system.At(ms, [&seen, check] { seen.push_back(check()); });
    }
    void Pulse(bool enabled) {
        HANDLE enable = state.events.get(EventId::SettingEnable);
        enabled ? ::SetEvent(enable) : ::ResetEvent(enable);
        SettingListener(state, system).OnSettingChange();
    }
    // The policy holds the switch in `held` over the user's own opposite
    // "ShowOSD"; with the switch held on, the camera is on in a call.
    void HoldAtStart(PolicySetting held) {
        system.policy.showOsd = held;
        system.showOsd = held != PolicySetting::On;
        state.policyShowOsd = held;
        state.switchOn = held == PolicySetting::On ? 1 : 0;
        state.events.Create(state.switchOn != 0);
        if (state.switchOn != 0) {
            state.publisher.Publish(CameraState::On);
        }
        events.sets.clear();
        events.resets.clear();
    }
    void RunListener() { SettingListener(state, system).Run(); }

    UniqueHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    test::UnnamedEventPort events;
    WatchState state;
    test::FakeWatchPort system;
};

TEST_F(WatchPolicyTest, ListenerFollowsThePolicyKeyAndPutsPulsesAgainstItBack) {
    state.events.Create();
    state.publisher.Publish(CameraState::On);
    PolicyAt(1'000, PolicySetting::Off);
    bool held = false;
    system.At(1'600, [&] {
        held = state.switchOn == 0 && !Signaled(EventId::On) && Signaled(EventId::Off);
        ::SetEvent(state.events.get(EventId::SettingEnable));  // the user turns it on
        ::SetEvent(state.events.get(EventId::SettingChange));
    });
    bool putBack = false;
    system.At(2'000, [&] { putBack = state.switchOn == 0 && !Signaled(EventId::SettingEnable); });
    PolicyAt(2'000, PolicySetting::NotConfigured);  // the user's "ShowOSD" (on) governs
    StopAt(3'000);
    RunListener();

    EXPECT_TRUE(held);
    EXPECT_TRUE(putBack);
    EXPECT_EQ(state.switchOn, 1);
    EXPECT_TRUE(Signaled(EventId::SettingEnable));
    EXPECT_TRUE(Signaled(EventId::Change));
    EXPECT_EQ(system.policyArms, 3);  // at start and after each wake
    EXPECT_TRUE(system.showOsdWrites.empty());
}

// Group Policy's refresh: the value is deleted, then written again 150 ms
// later. Neither a held-on switch (the user's own off, a call on) nor a
// held-off one (the user's own on) moves: no Off, no On, and Setting Enable
// neither set nor reset.
void RefreshWritesBack(WatchPolicyTest& test, PolicySetting held) {
    test.HoldAtStart(held);
    test.PolicyAt(1'000, PolicySetting::NotConfigured);
    test.PolicyAt(1'150, held);
    test.StopAt(5'000);
    test.RunListener();
    EXPECT_TRUE(test.events.sets.empty());
    EXPECT_TRUE(test.events.resets.empty());
    EXPECT_EQ(test.state.switchOn, held == PolicySetting::On ? 1 : 0);
    EXPECT_EQ(test.state.policyShowOsd.load(), held);
    EXPECT_EQ(test.state.publisher.published(),
              held == PolicySetting::On ? CameraState::On : CameraState::Off);
    EXPECT_EQ(test.system.policyArms, 3);  // both wakes were heard
}

TEST_F(WatchPolicyTest, ARefreshThatWritesAHeldOnSwitchBackChangesNothing) {
    RefreshWritesBack(*this, PolicySetting::On);
}

TEST_F(WatchPolicyTest, ARefreshThatWritesAHeldOffSwitchBackChangesNothing) {
    RefreshWritesBack(*this, PolicySetting::Off);
}

TEST_F(WatchPolicyTest, APolicyChangeTakesEffectOnceTheKeyHasBeenQuietForHalfASecond) {
    HoldAtStart(PolicySetting::On);
    PolicyAt(1'000, PolicySetting::NotConfigured);  // the policy goes: the user's off governs
    system.At(1'300, [this] { ::SetEvent(system.policyEvent.get()); });  // another policy's write
    std::vector<bool> off;
    const auto isOff = [this] {
        return state.switchOn == 0 && Signaled(EventId::Off) && !Signaled(EventId::SettingEnable);
    };
    CheckAt(1'799, off, isOff);
    CheckAt(1'801, off, isOff);
    StopAt(3'000);
    RunListener();
    EXPECT_EQ(off, (std::vector<bool>{false, true}));
    EXPECT_EQ(state.publisher.published(), CameraState::Off);
}

TEST_F(WatchPolicyTest, ABusyPolicyKeyStillGivesAChangeWithinTwoSeconds) {
    HoldAtStart(PolicySetting::Off);
    PolicyAt(1'000, PolicySetting::On);
    for (int64_t at = 1'200; at < 5'000; at += 200) {
        system.At(at, [this] { ::SetEvent(system.policyEvent.get()); });
    }
    std::vector<bool> on;
    const auto isOn = [this] { return state.switchOn == 1 && Signaled(EventId::SettingEnable); };
    CheckAt(2'499, on, isOn);
    CheckAt(2'501, on, isOn);
    StopAt(6'000);
    RunListener();
    EXPECT_EQ(on, (std::vector<bool>{false, true}));
    EXPECT_TRUE(Signaled(EventId::Change));  // a look at the camera
}

TEST_F(WatchPolicyTest, APolicyWatchThatCannotBeArmedIsArmedAgainAfterPausesThatDouble) {
    state.events.Create();
    system.policyArmFailures = 4;
    // The user turns the switch off while the watch is down: still followed.
    system.At(2'000, [this] {
        ::ResetEvent(state.events.get(EventId::SettingEnable));
        ::SetEvent(state.events.get(EventId::SettingChange));
    });
    // Written while nobody listens: read once the watch is back and quiet.
    system.At(5'000, [this] { system.policy.showOsd = PolicySetting::On; });
    std::vector<bool> on;
    const auto isOn = [this] { return state.switchOn == 1 && Signaled(EventId::SettingEnable); };
    CheckAt(15'499, on, isOn);
    CheckAt(15'501, on, isOn);
    StopAt(20'000);
    RunListener();
    EXPECT_EQ(system.policyArmTimes, (std::vector<int64_t>{0, 1'000, 3'000, 7'000, 15'000}));
    EXPECT_EQ(system.showOsdWrites, (std::vector<bool>{false}));
    EXPECT_EQ(on, (std::vector<bool>{false, true}));
}

TEST_F(WatchPolicyTest, AFailedWaitOnThePolicyWatchIsRetriedAndThePolicyFollowedAgain) {
    state.events.Create();
    system.policyWaitFailures = 1;  // the first wait fails
    PolicyAt(3'000, PolicySetting::Off);
    std::vector<bool> followed;
    CheckAt(3'501, followed, [this] { return state.switchOn == 0 && Signaled(EventId::Off); });
    // A wait that worked since: the next failure pauses one second again.
    system.At(5'000, [this] {
        system.policyWaitFailures = 1;
        ::SetEvent(state.events.get(EventId::SettingChange));
    });
    PolicyAt(8'000, PolicySetting::NotConfigured);
    CheckAt(8'501, followed, [this] { return state.switchOn == 1; });
    StopAt(10'000);
    RunListener();
    EXPECT_EQ(system.policyArmTimes, (std::vector<int64_t>{0, 1'000, 3'000, 6'000, 8'000}));
    EXPECT_EQ(followed, (std::vector<bool>{true, true}));
}

TEST_F(WatchPolicyTest, CheckUsbCameraPolicyWinsOverTheSettingsKey) {
    for (const bool policyOn : {true, false}) {
        system.usbMode = !policyOn;
        system.policy.checkUsbCamera = policyOn ? PolicySetting::On : PolicySetting::Off;
        system.checks.clear();
        ::ResetEvent(stop.get());
        system.At(system.now() + 500, [this] { ::SetEvent(stop.get()); });
        WatchWorker(state, system).RunWorker();
        ASSERT_FALSE(system.checks.empty());
        EXPECT_EQ(system.checks.front().countPipes, policyOn);
    }
}

// The switch turned off from outside the moment the last event exists, before
// the start-up has done anything else: the start-up's own state of Setting
// Enable cannot overwrite it, so the listener follows the change.
TEST_F(WatchPolicyTest, ASwitchChangeTheMomentTheEventsExistIsFollowed) {
    events.afterCreate = [this](const std::wstring& name) {
        if (name == kSettingChangeEventName) {
            ::ResetEvent(state.events.get(EventId::SettingEnable));
            ::SetEvent(state.events.get(EventId::SettingChange));
        }
    };
    bool enableAfterStart = true;
    system.At(500, [&] {
        enableAfterStart = Signaled(EventId::SettingEnable);
        SettingListener(state, system).OnSettingChange();  // the listener's wake
    });
    StopAt(1'000);
    WatchWorker(state, system).RunWorker();
    EXPECT_FALSE(enableAfterStart) << "the start-up overwrote the switch";
    EXPECT_EQ(system.showOsdWrites, std::vector<bool>{false});
    EXPECT_EQ(state.switchOn, 0);
}

TEST_F(WatchPolicyTest, TurningOffHidesAVisibleIndicatorAndPersists) {
    state.events.Create();
    state.publisher.Publish(CameraState::On);
    Pulse(false);
    EXPECT_EQ(state.switchOn, 0);
    EXPECT_EQ(state.publisher.published(), CameraState::Off);
    EXPECT_FALSE(Signaled(EventId::On));
    EXPECT_TRUE(Signaled(EventId::Off));
    EXPECT_EQ(system.showOsdWrites, (std::vector<bool>{false}));
}

TEST_F(WatchPolicyTest, TurningOnAsksForANewLookAndPersists) {
    state.events.Create();
    state.switchOn = 0;
    Pulse(true);
    EXPECT_EQ(state.switchOn, 1);
    EXPECT_TRUE(Signaled(EventId::Change));
    EXPECT_EQ(system.showOsdWrites, (std::vector<bool>{true}));
}

TEST_F(WatchPolicyTest, APulseWithoutChangeDoesNothing) {
    state.events.Create();
    Pulse(true);
    EXPECT_FALSE(Signaled(EventId::Change));
    EXPECT_TRUE(system.showOsdWrites.empty());
}

TEST_F(WatchPolicyTest, ListenerFollowsPulsesUntilStop) {
    state.events.Create();
    system.At(1'000, [this] {
        ::ResetEvent(state.events.get(EventId::SettingEnable));
        ::SetEvent(state.events.get(EventId::SettingChange));
    });
    StopAt(2'000);
    RunListener();
    EXPECT_EQ(system.showOsdWrites, (std::vector<bool>{false}));
    EXPECT_EQ(system.now(), 2'000);
}

}  // namespace
}  // namespace lensbeacon
