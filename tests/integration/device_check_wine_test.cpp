// The setupapi device system and the device check against simulated cameras
// and hubs in Wine's device registry. Wine has no USB hubs of its own, so a
// camera with a location lies under no hub and counts as in use whenever it
// is in D0; a simulated hub is found but answers no hub request.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "device_check.h"
#include "device_port_win32.h"
#include "simulated_camera.h"
#include "simulated_usb_hub.h"

namespace lensbeacon {
namespace {

using test::CameraPower;
using test::SimulatedCamera;
using test::SimulatedUsbHub;

constexpr wchar_t kLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)";

std::vector<wchar_t> Characters(const std::wstring& text) {
    return std::vector<wchar_t>(text.begin(), text.end());
}

class DeviceCheckWineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        system_ = CreateWin32DevicePort();
        ASSERT_NE(system_, nullptr);
    }

    int Check(bool countPipes, bool liveRecordHeld = false) {
        return CheckDevices(*system_, cache_, DeviceCheckInput{countPipes, liveRecordHeld});
    }

    // The imaging list, moved to the simulated camera's member.
    std::unique_ptr<DeviceListPort> SelectCamera(const SimulatedCamera& camera) {
        std::unique_ptr<DeviceListPort> devices = system_->OpenDevices(DeviceSource::ImagingClass);
        EXPECT_NE(devices, nullptr);
        for (uint32_t index = 0; devices && devices->Select(index); ++index) {
            DeviceText id = {};
            if (devices->ReadInstanceId(id) && camera.instanceId() == id) {
                return devices;
            }
        }
        ADD_FAILURE() << "camera not listed";
        return nullptr;
    }

    bool ReadLocation(const SimulatedCamera& camera, std::wstring& location) {
        std::unique_ptr<DeviceListPort> devices = SelectCamera(camera);
        DeviceText text = {};
        if (!devices || !devices->ReadLocationPath(text)) {
            return false;
        }
        location = text;
        return true;
    }

    bool ReadPower(const SimulatedCamera& camera, int32_t& state) {
        std::unique_ptr<DeviceListPort> devices = SelectCamera(camera);
        return devices && devices->ReadPowerState(state);
    }

    std::unique_ptr<DevicePort> system_;
    DeviceCache cache_;
};

TEST_F(DeviceCheckWineTest, NoCameraMeansNoImagingDevice) {
    EXPECT_EQ(Check(true), kNoImagingDevice);
    EXPECT_EQ(Check(false), kNoImagingDevice);
}

TEST_F(DeviceCheckWineTest, CameraFollowsItsPowerStateInBothModes) {
    SimulatedCamera camera(0, kLocation, CameraPower::D3);
    EXPECT_EQ(Check(true), kNoCameraInUse);
    const DeviceCacheEntry* entry = cache_.Find(camera.instanceId().c_str());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->baseline, kBaselineNoHub);

    camera.SetPower(CameraPower::D0);
    EXPECT_EQ(Check(true), kCameraInUse);
    EXPECT_EQ(Check(false), kCameraInUse);
    camera.SetPower(CameraPower::D3);
    EXPECT_EQ(Check(false), kNoCameraInUse);
    EXPECT_EQ(cache_.size(), 1u);

    camera.Remove();
    EXPECT_EQ(Check(true), kNoImagingDevice);
}

TEST_F(DeviceCheckWineTest, AnyOfTwoCamerasInUseCounts) {
    SimulatedCamera first(0, L"ACPI(_SB_)#ACPI(CAM0)", CameraPower::D3);
    SimulatedCamera second(1, L"ACPI(_SB_)#ACPI(CAM1)", CameraPower::D3);
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_EQ(cache_.size(), 2u);
    second.SetPower(CameraPower::D0);
    EXPECT_EQ(Check(true), kCameraInUse);
    second.SetPower(CameraPower::D3);
    first.SetPower(CameraPower::D0);
    EXPECT_EQ(Check(false), kCameraInUse);
    first.Remove();
    EXPECT_EQ(Check(false), kNoCameraInUse);
}

TEST_F(DeviceCheckWineTest, CameraWithoutLocationNeverCountsAsInUse) {
    SimulatedCamera camera(0, L"", CameraPower::D0);
    std::wstring location;
    EXPECT_FALSE(ReadLocation(camera, location));
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_EQ(Check(false), kNoCameraInUse);
}

TEST_F(DeviceCheckWineTest, LocationPathReadTakesTheFirstStringWithinBounds) {
    SimulatedCamera camera(0, L"", CameraPower::D3);
    std::wstring location;

    camera.SetLocationPaths(
        Characters(std::wstring(L"FIRST(1)") + L'\0' + L"SECOND(2)" + L'\0' + L'\0'));
    ASSERT_TRUE(ReadLocation(camera, location));
    EXPECT_EQ(location, L"FIRST(1)");

    // A list must end in two NULs within the data.
    camera.SetLocationPaths(Characters(L"UNTERMINATED(4)"));  // no NUL at all
    EXPECT_FALSE(ReadLocation(camera, location));
    camera.SetLocationPaths(Characters(std::wstring(L"ONE(4)") + L'\0'));
    EXPECT_FALSE(ReadLocation(camera, location));

    // The same text under another property type (a single string) is refused.
    const std::wstring single = std::wstring(L"SINGLE(4)") + L'\0' + L'\0';
    std::vector<unsigned char> bytes(single.size() * sizeof(wchar_t));
    std::memcpy(bytes.data(), single.data(), bytes.size());
    camera.SetRawProperty(L"0025", 0x12, bytes);
    EXPECT_FALSE(ReadLocation(camera, location));

    const std::wstring longest(kDeviceTextLength - 1, L'L');
    camera.SetLocationPaths(Characters(longest + L'\0' + L'\0'));
    ASSERT_TRUE(ReadLocation(camera, location));
    EXPECT_EQ(location, longest);

    // Too long for the 260-character buffer: refused, never cut.
    camera.SetLocationPaths(Characters(longest + L'L' + L'\0' + L'\0'));
    EXPECT_FALSE(ReadLocation(camera, location));
    camera.SetLocationPaths(Characters(std::wstring(kDeviceTextLength + 40, L'U')));
    EXPECT_FALSE(ReadLocation(camera, location));

    // A camera with a refused location never counts as in use.
    camera.SetPower(CameraPower::D0);
    EXPECT_EQ(Check(false), kNoCameraInUse);
}

TEST_F(DeviceCheckWineTest, PowerDataReadNeedsTheStateField) {
    SimulatedCamera camera(0, kLocation, CameraPower::D0);
    int32_t state = 0;
    ASSERT_TRUE(ReadPower(camera, state));
    EXPECT_EQ(state, 1);
    camera.SetPower(CameraPower::D3);
    ASSERT_TRUE(ReadPower(camera, state));
    EXPECT_EQ(state, 4);

    // Only a whole 56-byte CM_POWER_DATA of the binary type counts.
    std::vector<unsigned char> whole(56, 0);
    whole[0] = 56;
    whole[4] = 1;
    camera.SetPowerData(whole);
    ASSERT_TRUE(ReadPower(camera, state));
    EXPECT_EQ(state, 1);
    camera.SetPowerData({8, 0, 0, 0, 1, 0, 0, 0});  // just the two leading fields
    EXPECT_FALSE(ReadPower(camera, state));
    camera.SetPowerData({8, 0, 0, 0, 1, 0, 0});  // state cut short
    EXPECT_FALSE(ReadPower(camera, state));
    camera.SetRawProperty(L"0020", 0x1004, whole);  // right size, wrong type
    EXPECT_FALSE(ReadPower(camera, state));
    EXPECT_EQ(Check(false), kNoCameraInUse);
}

TEST_F(DeviceCheckWineTest, WineListsNoHubsAndHubRequestsFail) {
    std::unique_ptr<DeviceListPort> hubs = system_->OpenUsbHubs();
    ASSERT_NE(hubs, nullptr);
    EXPECT_FALSE(hubs->Select(0));
    DeviceText text = {};
    EXPECT_FALSE(hubs->ReadLocationPath(text));
    EXPECT_FALSE(hubs->ReadInterfacePath(text));

    EXPECT_FALSE(system_->CountOpenPipes(
        L"\\\\?\\USB#ROOT_HUB30#4&1&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}", 3));
}

TEST_F(DeviceCheckWineTest, CameraUnderTheLongestMatchingHubIsNeverInUseWithoutAnswer) {
    SimulatedUsbHub outer(0, L"PCIROOT(0)");
    SimulatedUsbHub inner(1, L"PCIROOT(0)#PCI(1400)#USBROOT(0)");
    SimulatedUsbHub elsewhere(2, L"PCIROOT(0)#PCI(1400)#USBROOT(1)");
    SimulatedCamera camera(0, kLocation, CameraPower::D3);

    EXPECT_EQ(Check(true), kNoCameraInUse);
    const DeviceCacheEntry* entry = cache_.Find(camera.instanceId().c_str());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(std::wstring(entry->hubPath), inner.hubPath());
    EXPECT_EQ(entry->port, 3);
    EXPECT_EQ(entry->baseline, kBaselineNotMeasured);  // the hub request failed

    camera.SetPower(CameraPower::D0);
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_EQ(Check(false), kNoCameraInUse);
}

}  // namespace
}  // namespace lensbeacon
