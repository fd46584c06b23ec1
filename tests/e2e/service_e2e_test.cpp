// The real Lenswatch service, installed by the real installer, turning a
// simulated camera into On and Off events under Wine's service manager.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "registry_sandbox.h"
#include "simulated_camera.h"

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

// Generous bounds for a loaded CI machine; the latency is measured in bench/.
constexpr DWORD kCameraNoticeMs = 5000;
constexpr auto kEventsAppear = 15s;

class ServiceEndToEnd : public ::testing::Test {
  protected:
    void Install() {
        ASSERT_EQ(suite.Installer(L"-i"), 0u);
        ASSERT_TRUE(WaitForSuiteEvents(kEventsAppear)) << "the service created no events";
        on = OpenSuiteEvent(kOnEventName);
        off = OpenSuiteEvent(kOffEventName);
        ASSERT_TRUE(on && off);
    }

    bool ShowOsdIs(DWORD expected) {
        DWORD type = 0;
        std::vector<unsigned char> data;
        return settings.Read(kShowOsdValue, type, data) && type == REG_DWORD && data.size() == 4 &&
               data[0] == expected && data[1] == 0 && data[2] == 0 && data[3] == 0;
    }

    void TurnSwitch(bool enabled) {
        UniqueHandle enable = OpenSuiteEvent(kSettingEnableEventName, EVENT_MODIFY_STATE);
        UniqueHandle pulse = OpenSuiteEvent(kSettingChangeEventName, EVENT_MODIFY_STATE);
        ASSERT_TRUE(enable && pulse);
        ASSERT_TRUE(enabled ? ::SetEvent(enable.get()) : ::ResetEvent(enable.get()));
        ASSERT_TRUE(::SetEvent(pulse.get()));
    }

    RegistrySandbox settings{kSettingsKey};
    // The device maker writes the capture key in the native registry view.
    RegistrySandbox capture{kCaptureKey, KEY_WOW64_64KEY};
    InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe"};
    UniqueHandle on;
    UniqueHandle off;
};

TEST_F(ServiceEndToEnd, StartsWithFreshEventsAndEndsThemOnStop) {
    Install();
    UniqueHandle change = OpenSuiteEvent(kChangeEventName);
    UniqueHandle service = OpenSuiteEvent(kServiceEventName);
    UniqueHandle enable = OpenSuiteEvent(kSettingEnableEventName);
    UniqueHandle pulse = OpenSuiteEvent(kSettingChangeEventName);
    ASSERT_TRUE(change && service && enable && pulse);
    EXPECT_FALSE(Signaled(on.get()));
    EXPECT_TRUE(Signaled(off.get()));
    EXPECT_FALSE(Signaled(service.get()));
    EXPECT_TRUE(Signaled(enable.get()));  // no "ShowOSD": the switch is on

    UniqueHandle process = suite.ServiceProcess();
    ASSERT_TRUE(process);
    EXPECT_EQ(suite.Installer(L"-u"), 0u);
    EXPECT_TRUE(Signaled(service.get(), 2000)) << "indicators were not told to close";
    EXPECT_TRUE(Signaled(process.get(), 3000)) << "the service process did not end";
    EXPECT_FALSE(suite.ServiceRegistered());
}

TEST_F(ServiceEndToEnd, UsbWatchFollowsTheCameraPowerState) {
    settings.SetDword(kCheckUsbCameraValue, 1);
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)", CameraPower::D3);
    Install();
    EXPECT_FALSE(Signaled(on.get()));

    // Wine has no USB hubs: a camera in D0 counts as in use.
    camera.SetPower(CameraPower::D0);
    EXPECT_TRUE(Signaled(on.get(), kCameraNoticeMs));
    EXPECT_FALSE(Signaled(off.get()));
    camera.SetPower(CameraPower::D3);
    EXPECT_TRUE(Signaled(off.get(), kCameraNoticeMs));
    EXPECT_FALSE(Signaled(on.get()));
}

TEST_F(ServiceEndToEnd, ChangeDrivenWatchLooksAgainOnChange) {
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)", CameraPower::D0);
    Install();
    // The start-up burst sees the camera.
    ASSERT_TRUE(Signaled(on.get(), kCameraNoticeMs));

    // After the ten-second burst a camera that is on is still looked at
    // every second, so its stop is seen. The burst's end shows nowhere
    // outside the service, so this waits it out.
    std::this_thread::sleep_for(11s);
    camera.SetPower(CameraPower::D3);
    EXPECT_TRUE(Signaled(off.get(), kCameraNoticeMs));

    // With the camera off the service sleeps: a camera that starts is not
    // noticed until a Change event asks for a new look.
    camera.SetPower(CameraPower::D0);
    EXPECT_FALSE(Signaled(on.get(), 2000));
    UniqueHandle change = OpenSuiteEvent(kChangeEventName, EVENT_MODIFY_STATE);
    ASSERT_TRUE(change);
    ASSERT_TRUE(::SetEvent(change.get()));
    EXPECT_TRUE(Signaled(on.get(), kCameraNoticeMs));
}

TEST_F(ServiceEndToEnd, SwitchEventsFromOutsideArePersisted) {
    settings.CreateKey();
    Install();
    // The service's start shows the switch on: only then is it turned.
    UniqueHandle enable = OpenSuiteEvent(kSettingEnableEventName);
    ASSERT_TRUE(enable);
    ASSERT_TRUE(Signaled(enable.get(), kCameraNoticeMs)) << "the start never showed the switch";
    TurnSwitch(false);
    EXPECT_TRUE(WaitUntil([this] { return ShowOsdIs(0); }, 5s));
    TurnSwitch(true);
    EXPECT_TRUE(WaitUntil([this] { return ShowOsdIs(1); }, 5s));
}

TEST_F(ServiceEndToEnd, SwitchOffAtStartHoldsTheWatchUntilTurnedOn) {
    settings.SetDword(kShowOsdValue, 0);
    settings.SetDword(kCheckUsbCameraValue, 1);
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)", CameraPower::D0);
    Install();
    UniqueHandle enable = OpenSuiteEvent(kSettingEnableEventName);
    ASSERT_TRUE(enable);
    EXPECT_FALSE(Signaled(enable.get()));
    EXPECT_FALSE(Signaled(on.get(), 2000)) << "checked the camera with the switch off";

    TurnSwitch(true);
    EXPECT_TRUE(Signaled(on.get(), kCameraNoticeMs));
    EXPECT_TRUE(ShowOsdIs(1));
}

TEST_F(ServiceEndToEnd, NoPhysicalCameraLightLeavesNoEvents) {
    capture.SetDword(kNoPhysicalCameraLedValue, 1);
    ASSERT_EQ(suite.Installer(L"-i"), 0u);
    ASSERT_TRUE(WaitUntil([this] { return static_cast<bool>(suite.ServiceProcess()); }, 10s));
    // The worker reads the value first thing; give it time to (not) act.
    EXPECT_FALSE(WaitUntil([] { return static_cast<bool>(OpenSuiteEvent(kOffEventName)); }, 2s));
}

TEST(ServiceProgram, StartedByHandEndsSilentlyWithExitCodeZero) {
    // Outside the service manager the dispatcher call fails at once and the
    // program ends.
    EXPECT_EQ(RunProgram(DistFolder() + L"Lenswatch.exe", L""), 0u);
}

}  // namespace
}  // namespace lensbeacon::test
