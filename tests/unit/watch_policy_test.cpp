// The organisation's policy over the worker and the setting listener, on a
// virtual clock. The test's thread stands in for the listener where the
// worker runs.
#include <gtest/gtest.h>

#include <vector>

#include "lensbeacon/unique_owner.h"
#include "watch_fakes.h"
#include "watch_loop.h"

namespace lensbeacon {
namespace {

using test::FakeWatchSystem;
using Times = std::vector<int64_t>;

class WatchPolicyTest : public ::testing::Test {
  protected:
    WatchPolicyTest() : state(events.api()), system(stop.get()) { state.stopEvent = stop.get(); }

    void StopAt(int64_t ms) {
        system.At(ms, [this] { ::SetEvent(stop.get()); });
    }
    // The policy key changes and the listener follows it.
    void PolicyAt(int64_t ms, PolicySetting showOsd) {
        system.At(ms, [this, showOsd] {
            system.policy.showOsd = showOsd;
            Watcher(state, system).OnPolicyChange();
        });
    }
    bool Signaled(EventId id) {
        return ::WaitForSingleObject(state.events.get(id), 0) == WAIT_OBJECT_0;
    }

    UniqueHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    test::UnnamedEventApi events;
    WatchState state;
    FakeWatchSystem system;
};

TEST_F(WatchPolicyTest, HeldOffTheWatchWaitsUntilThePolicyGoes) {
    system.policy.showOsd = PolicySetting::Off;  // the user's own switch is on
    system.deviceResult = [](int64_t) { return 1; };
    bool enableAtStart = true;
    system.At(500, [&] { enableAtStart = Signaled(EventId::SettingEnable); });
    // Setting Enable set against the policy, without a pulse: the waiting
    // worker puts it back itself.
    system.At(5'000, [this] { ::SetEvent(state.events.get(EventId::SettingEnable)); });
    bool enableAfter = true;
    system.At(5'500, [&] { enableAfter = Signaled(EventId::SettingEnable); });
    PolicyAt(10'000, PolicySetting::NotConfigured);
    StopAt(13'500);
    Watcher(state, system).RunWorker();

    EXPECT_FALSE(enableAtStart);
    EXPECT_FALSE(enableAfter);
    // The user's switch governs again and the watch starts as at a turn-on.
    EXPECT_EQ(system.CheckTimes(), (Times{10'000, 11'000, 12'000, 13'000}));
    EXPECT_EQ(system.launches.size(), 2u);
    EXPECT_TRUE(system.showOsdWrites.empty());
}

TEST_F(WatchPolicyTest, HeldOnOverTheUsersOffThenHeldOffHidesAtOnce) {
    system.showOsd = false;
    system.policy.showOsd = PolicySetting::On;
    system.deviceResult = [](int64_t) { return 1; };
    PolicyAt(3'500, PolicySetting::Off);
    bool onAfterHold = true;
    system.At(3'500, [&] { onAfterHold = Signaled(EventId::On) || !Signaled(EventId::Off); });
    StopAt(8'000);
    Watcher(state, system).RunWorker();

    EXPECT_EQ(system.CheckTimes(), (Times{0, 1'000, 2'000, 3'000}));
    EXPECT_FALSE(onAfterHold);
    EXPECT_TRUE(system.showOsdWrites.empty());
}

TEST_F(WatchPolicyTest, CheckUsbCameraPolicyWinsOverTheSettingsKey) {
    for (const bool policyOn : {true, false}) {
        system.usbMode = !policyOn;
        system.policy.checkUsbCamera = policyOn ? PolicySetting::On : PolicySetting::Off;
        system.checks.clear();
        ::ResetEvent(stop.get());
        StopAt(system.now() + 500);
        Watcher(state, system).RunWorker();
        ASSERT_FALSE(system.checks.empty());
        EXPECT_EQ(system.checks.front().countPipes, policyOn);
    }
}

TEST_F(WatchPolicyTest, ListenerFollowsThePolicyKeyAndRefusesPulsesAgainstIt) {
    state.events.Create();
    ::SetEvent(state.events.get(EventId::SettingEnable));
    state.publisher.Publish(CameraState::On);
    const auto policyChange = [this](PolicySetting showOsd) {
        system.policy.showOsd = showOsd;
        ::SetEvent(system.policyEvent.get());
    };
    system.At(1'000, [&] { policyChange(PolicySetting::Off); });
    bool held = false;
    system.At(1'500, [&] {
        held = state.switchOn == 0 && state.publisher.published() == CameraState::Off &&
               !Signaled(EventId::SettingEnable);
        // The user turns the switch on against the policy.
        ::SetEvent(state.events.get(EventId::SettingEnable));
        ::SetEvent(state.events.get(EventId::SettingChange));
    });
    bool putBack = false;
    system.At(2'000, [&] {
        putBack = state.switchOn == 0 && !Signaled(EventId::SettingEnable);
        policyChange(PolicySetting::NotConfigured);
    });
    StopAt(3'000);
    Watcher(state, system).RunSettingListener();

    EXPECT_TRUE(held);
    EXPECT_TRUE(putBack);
    // The policy went: the user's "ShowOSD" (on) governs, and the camera is
    // looked at again.
    EXPECT_EQ(state.switchOn, 1);
    EXPECT_TRUE(Signaled(EventId::SettingEnable));
    EXPECT_TRUE(Signaled(EventId::Change));
    EXPECT_EQ(system.policyArms, 3);
    EXPECT_TRUE(system.showOsdWrites.empty());
}

}  // namespace
}  // namespace lensbeacon
