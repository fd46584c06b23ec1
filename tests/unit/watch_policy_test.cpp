// The organisation's policy in the setting listener and at the watch's start,
// on a virtual clock.
#include <gtest/gtest.h>

#include "lensbeacon/unique_owner.h"
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
    Watcher(state, system).RunSettingListener();

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

}  // namespace
}  // namespace lensbeacon
