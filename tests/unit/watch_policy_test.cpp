// The setting listener: the user's switch and the organisation's policy, and
// the policy at the watch's start, on a virtual clock.
#include <gtest/gtest.h>

#include "lensbeacon/unique_owner.h"
#include "setting_listener.h"
#include "watch_fakes.h"
#include "watch_loop.h"

namespace lensbeacon {
namespace {

struct WatchPolicyTest : ::testing::Test {
    WatchPolicyTest() : state(events.api()), system(stop.get()) { state.stopEvent = stop.get(); }
    bool Signaled(EventId id) {
        return ::WaitForSingleObject(state.events.get(id), 0) == WAIT_OBJECT_0;
    }
    void PolicyAt(int64_t ms, PolicySetting showOsd) {
        system.At(ms, [this, showOsd] {
            system.policy.showOsd = showOsd;
            ::SetEvent(system.policyEvent.get());
        });
    }
    UniqueHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    test::UnnamedEventApi events;
    WatchState state;
    test::FakeWatchSystem system;
};

TEST_F(WatchPolicyTest, ListenerFollowsThePolicyKeyAndPutsPulsesAgainstItBack) {
    state.events.Create();
    state.publisher.Publish(CameraState::On);
    PolicyAt(1'000, PolicySetting::Off);
    bool held = false;
    system.At(1'500, [&] {
        held = state.switchOn == 0 && !Signaled(EventId::On) && Signaled(EventId::Off);
        ::SetEvent(state.events.get(EventId::SettingEnable));  // the user turns it on
        ::SetEvent(state.events.get(EventId::SettingChange));
    });
    bool putBack = false;
    system.At(2'000, [&] { putBack = state.switchOn == 0 && !Signaled(EventId::SettingEnable); });
    PolicyAt(2'000, PolicySetting::NotConfigured);  // the user's "ShowOSD" (on) governs
    system.At(3'000, [this] { ::SetEvent(stop.get()); });
    SettingListener(state, system).Run();

    EXPECT_TRUE(held);
    EXPECT_TRUE(putBack);
    EXPECT_EQ(state.switchOn, 1);
    EXPECT_TRUE(Signaled(EventId::SettingEnable));
    EXPECT_TRUE(Signaled(EventId::Change));
    EXPECT_EQ(system.policyArms, 3);  // at start and after each wake
    EXPECT_TRUE(system.showOsdWrites.empty());
}

TEST_F(WatchPolicyTest, CheckUsbCameraPolicyWinsOverTheSettingsKey) {
    for (const bool policyOn : {true, false}) {
        system.usbMode = !policyOn;
        system.policy.checkUsbCamera = policyOn ? PolicySetting::On : PolicySetting::Off;
        system.checks.clear();
        ::ResetEvent(stop.get());
        system.At(system.now() + 500, [this] { ::SetEvent(stop.get()); });
        Watcher(state, system).RunWorker();
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
    system.At(1'000, [this] { ::SetEvent(stop.get()); });
    Watcher(state, system).RunWorker();
    EXPECT_FALSE(enableAfterStart) << "the start-up overwrote the switch";
    EXPECT_EQ(system.showOsdWrites, std::vector<bool>{false});
    EXPECT_EQ(state.switchOn, 0);
}

class SettingListenerTest : public WatchPolicyTest {
  protected:
    void SetUp() override {
        state.events.Create();
        state.switchOn = 1;
    }
    void Pulse(bool enabled) {
        HANDLE enable = state.events.get(EventId::SettingEnable);
        enabled ? ::SetEvent(enable) : ::ResetEvent(enable);
        SettingListener(state, system).OnSettingChange();
    }
};

TEST_F(SettingListenerTest, TurningOffHidesAVisibleIndicatorAndPersists) {
    state.publisher.Publish(CameraState::On);
    Pulse(false);
    EXPECT_EQ(state.switchOn, 0);
    EXPECT_EQ(state.publisher.published(), CameraState::Off);
    EXPECT_FALSE(Signaled(EventId::On));
    EXPECT_TRUE(Signaled(EventId::Off));
    EXPECT_EQ(system.showOsdWrites, (std::vector<bool>{false}));
}

TEST_F(SettingListenerTest, TurningOnAsksForANewLookAndPersists) {
    state.switchOn = 0;
    Pulse(true);
    EXPECT_EQ(state.switchOn, 1);
    EXPECT_TRUE(Signaled(EventId::Change));
    EXPECT_EQ(system.showOsdWrites, (std::vector<bool>{true}));
}

TEST_F(SettingListenerTest, APulseWithoutChangeDoesNothing) {
    Pulse(true);
    EXPECT_FALSE(Signaled(EventId::Change));
    EXPECT_TRUE(system.showOsdWrites.empty());
}

TEST_F(SettingListenerTest, ListenerFollowsPulsesUntilStop) {
    system.At(1'000, [this] {
        ::ResetEvent(state.events.get(EventId::SettingEnable));
        ::SetEvent(state.events.get(EventId::SettingChange));
    });
    system.At(2'000, [this] { ::SetEvent(stop.get()); });
    SettingListener(state, system).Run();
    EXPECT_EQ(system.showOsdWrites, (std::vector<bool>{false}));
    EXPECT_EQ(system.now(), 2'000);
}

}  // namespace
}  // namespace lensbeacon
