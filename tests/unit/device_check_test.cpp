// The device decision, the device cache and the text rules, driven through a
// fake device system that records what the check asks of it.
#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device_check.h"
#include "device_paths.h"

namespace lensbeacon {
namespace {

constexpr wchar_t kHubGuid[] = L"{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
constexpr wchar_t kCameraLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)";
constexpr wchar_t kRootHubLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)";
constexpr wchar_t kRootHubInterface[] =
    L"\\\\?\\USB#ROOT_HUB30#4&1&0#{36fc9e60-c465-11cf-8056-444553540000}";
constexpr wchar_t kRootHubPath[] =
    L"\\\\?\\USB#ROOT_HUB30#4&1&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";

// A listed device; an empty optional makes that read fail.
struct FakeDevice {
    std::optional<std::wstring> instanceId;
    std::optional<int32_t> power;
    std::optional<std::wstring> location;
    std::optional<std::wstring> interfacePath;
};

bool CopyText(const std::optional<std::wstring>& text, DeviceText& target) {
    if (!text || text->size() >= kDeviceTextLength) {
        return false;
    }
    std::wmemcpy(target, text->c_str(), text->size() + 1);
    return true;
}

class FakeList final : public DeviceListPort {
  public:
    FakeList(const std::vector<FakeDevice>& devices, std::vector<std::wstring>& powerReads)
        : devices_(devices), powerReads_(powerReads) {}
    bool Select(uint32_t index) override {
        selected_ = index < devices_.size() ? &devices_[index] : nullptr;
        return selected_ != nullptr;
    }
    bool ReadInstanceId(DeviceText& id) override {
        return selected_ && CopyText(selected_->instanceId, id);
    }
    bool ReadPowerState(int32_t& state) override {
        if (!selected_) {
            return false;
        }
        powerReads_.push_back(selected_->instanceId.value_or(L"?"));
        if (!selected_->power) {
            return false;
        }
        state = *selected_->power;
        return true;
    }
    bool ReadLocationPath(DeviceText& location) override {
        return selected_ && CopyText(selected_->location, location);
    }
    bool ReadInterfacePath(DeviceText& path) override {
        return selected_ && CopyText(selected_->interfacePath, path);
    }

  private:
    const std::vector<FakeDevice>& devices_;
    std::vector<std::wstring>& powerReads_;
    const FakeDevice* selected_ = nullptr;
};

class FakeDevicePort final : public DevicePort {
  public:
    std::vector<FakeDevice> cameras;  // the imaging class
    std::map<DeviceSource, std::vector<FakeDevice>> otherLists;
    std::vector<FakeDevice> hubs;
    bool imagingListFails = false;
    bool otherListsFail = false;
    std::vector<DeviceSource> opened;
    bool hubListFails = false;
    std::map<std::pair<std::wstring, int32_t>, uint32_t> openPipes;  // missing: request fails

    int hubSearches = 0;
    std::vector<std::pair<std::wstring, int32_t>> pipeRequests;
    std::vector<std::wstring> powerReads;

    std::unique_ptr<DeviceListPort> OpenDevices(DeviceSource source) override {
        opened.push_back(source);
        if (source == DeviceSource::ImagingClass) {
            return imagingListFails ? nullptr : std::make_unique<FakeList>(cameras, powerReads);
        }
        return otherListsFail ? nullptr
                              : std::make_unique<FakeList>(otherLists[source], powerReads);
    }
    std::unique_ptr<DeviceListPort> OpenUsbHubs() override {
        ++hubSearches;
        if (hubListFails) {
            return nullptr;
        }
        return std::make_unique<FakeList>(hubs, hubPowerReads_);
    }
    std::optional<uint32_t> CountOpenPipes(const wchar_t* hubPath, int32_t port) override {
        pipeRequests.emplace_back(hubPath, port);
        const auto found = openPipes.find({hubPath, port});
        if (found == openPipes.end()) {
            return std::nullopt;
        }
        return found->second;
    }

  private:
    std::vector<std::wstring> hubPowerReads_;
};

FakeDevice Camera(const wchar_t* id, int32_t power, std::optional<std::wstring> location) {
    return {id, power, std::move(location), std::nullopt};
}

FakeDevice Hub(const wchar_t* location, const wchar_t* interfacePath) {
    return {L"USB\\HUB", std::nullopt, location, interfacePath};
}

class DeviceCheckTest : public ::testing::Test {
  protected:
    int Check(bool countPipes, bool liveRecordHeld = false) {
        return CheckDevices(system_, cache_, DeviceCheckInput{countPipes, liveRecordHeld});
    }
    const DeviceCacheEntry& Entry(const wchar_t* id) {
        const DeviceCacheEntry* entry = cache_.Find(id);
        EXPECT_NE(entry, nullptr);
        static const DeviceCacheEntry kMissing;
        return entry ? *entry : kMissing;
    }
    // A USB camera on port 3 of the root hub.
    void AddUsbCamera(int32_t power) {
        system_.cameras.push_back(Camera(L"USB\\CAM", power, kCameraLocation));
        system_.hubs.push_back(Hub(kRootHubLocation, kRootHubInterface));
    }
    void SetPipes(uint32_t count) { system_.openPipes[{kRootHubPath, 3}] = count; }

    FakeDevicePort system_;
    DeviceCache cache_;
};

TEST_F(DeviceCheckTest, ResultsForMissingListsAndDevices) {
    system_.imagingListFails = true;
    EXPECT_EQ(Check(true), kNoImagingDevice);
    system_.imagingListFails = false;
    EXPECT_EQ(Check(true), kNoImagingDevice);  // an empty list

    // Enumerated but unreadable devices still make the answer "none in use".
    system_.cameras.push_back({std::nullopt, kPowerDeviceD0, L"X(1)", std::nullopt});
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_EQ(cache_.size(), 0u);
    EXPECT_TRUE(system_.powerReads.empty());
}

TEST_F(DeviceCheckTest, CameraUnderNoHubIsInUseInD0InBothModes) {
    system_.hubs.push_back(Hub(L"PCIROOT(1)", kRootHubInterface));  // not a prefix
    system_.cameras.push_back(Camera(L"CAM", kPowerDeviceD3, L"ACPI(_SB_)#ACPI(CAM0)"));
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_EQ(Entry(L"CAM").baseline, kBaselineNoHub);

    system_.cameras[0].power = kPowerDeviceD0;
    EXPECT_EQ(Check(true), kCameraInUse);
    EXPECT_EQ(Check(false), kCameraInUse);
    system_.cameras[0].power = 2;  // D1: neither idle nor on
    EXPECT_EQ(Check(false), kNoCameraInUse);
    EXPECT_TRUE(system_.pipeRequests.empty());
    EXPECT_EQ(Entry(L"CAM").baseline, kBaselineNoHub);
}

TEST_F(DeviceCheckTest, FailedHubListMeansNoHub) {
    system_.hubListFails = true;
    system_.cameras.push_back(Camera(L"CAM", kPowerDeviceD0, kCameraLocation));
    EXPECT_EQ(Check(false), kCameraInUse);
}

TEST_F(DeviceCheckTest, UnreadableLocationNeverCountsAsInUse) {
    AddUsbCamera(kPowerDeviceD3);
    system_.cameras[0].location.reset();
    SetPipes(1);
    EXPECT_EQ(Check(true), kNoCameraInUse);
    system_.cameras[0].power = kPowerDeviceD0;
    SetPipes(5);
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_EQ(Check(false), kNoCameraInUse);
    EXPECT_EQ(system_.hubSearches, 0);
    EXPECT_TRUE(system_.pipeRequests.empty());
    EXPECT_EQ(Entry(L"USB\\CAM").baseline, kBaselineNotMeasured);
    EXPECT_EQ(Entry(L"USB\\CAM").port, 0);
}

TEST_F(DeviceCheckTest, UsbCameraComparesOpenPipesWithItsD3Baseline) {
    AddUsbCamera(kPowerDeviceD3);
    SetPipes(2);
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_EQ(Entry(L"USB\\CAM").baseline, 2);
    EXPECT_STREQ(Entry(L"USB\\CAM").hubPath, kRootHubPath);
    EXPECT_EQ(Entry(L"USB\\CAM").port, 3);

    system_.cameras[0].power = kPowerDeviceD0;
    EXPECT_EQ(Check(true), kNoCameraInUse);  // equal to the baseline
    SetPipes(3);
    EXPECT_EQ(Check(true), kCameraInUse);     // one more
    EXPECT_EQ(Check(false), kNoCameraInUse);  // change-driven mode never counts
    system_.openPipes.clear();
    EXPECT_EQ(Check(true), kNoCameraInUse);  // the hub request fails

    // The baseline moves only once.
    system_.cameras[0].power = kPowerDeviceD3;
    SetPipes(7);
    Check(true);
    EXPECT_EQ(Entry(L"USB\\CAM").baseline, 2);
}

TEST_F(DeviceCheckTest, UsbCameraFirstSeenInD0HasNoBaseline) {
    AddUsbCamera(kPowerDeviceD0);
    SetPipes(9);
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_TRUE(system_.pipeRequests.empty());

    // A failed count in D3 leaves the baseline open for the next D3 sighting.
    system_.cameras[0].power = kPowerDeviceD3;
    system_.openPipes.clear();
    Check(true);
    EXPECT_EQ(Entry(L"USB\\CAM").baseline, kBaselineNotMeasured);
    SetPipes(1);
    Check(true);
    EXPECT_EQ(Entry(L"USB\\CAM").baseline, 1);
}

TEST_F(DeviceCheckTest, PipeCountsBeyondTheSignedRangeAreNotTakenAsBaseline) {
    AddUsbCamera(kPowerDeviceD3);
    SetPipes(0xFFFFFFFEu);  // would read as the no-hub marker
    Check(true);
    EXPECT_EQ(Entry(L"USB\\CAM").baseline, kBaselineNotMeasured);
    system_.cameras[0].power = kPowerDeviceD0;
    EXPECT_EQ(Check(false), kNoCameraInUse);
}

TEST_F(DeviceCheckTest, PortZeroMakesNoHubRequest) {
    system_.cameras.push_back(Camera(L"CAM", kPowerDeviceD3, L"PCIROOT(0)#USBROOT(0)#USB(0)"));
    system_.hubs.push_back(Hub(L"PCIROOT(0)#USBROOT(0)", kRootHubInterface));
    Check(true);
    system_.cameras[0].power = kPowerDeviceD0;
    EXPECT_EQ(Check(true), kNoCameraInUse);
    EXPECT_TRUE(system_.pipeRequests.empty());
    EXPECT_EQ(Entry(L"CAM").port, 0);
    EXPECT_EQ(Entry(L"CAM").baseline, kBaselineNotMeasured);
}

TEST_F(DeviceCheckTest, LongestHubPrefixWinsAndTiesGoToTheFirst) {
    const wchar_t* longer = L"\\\\?\\USB#HUB#LONG#{x}";
    const wchar_t* first = L"\\\\?\\USB#HUB#FIRST#{x}";
    system_.hubs = {Hub(L"PCIROOT(0)#PCI(1400)", L"\\\\?\\SHORT#{x}"),
                    Hub(L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)#MORE", L"A#B"),
                    Hub(kRootHubLocation, first),
                    Hub(L"PCIROOT(0)#PCI(1400)#USBROOT(1)", L"A#B"),
                    Hub(kRootHubLocation, L"\\\\?\\USB#HUB#SECOND#{x}"),
                    Hub(L"", L"\\\\?\\EMPTY#{x}")};
    system_.cameras.push_back(Camera(L"A", kPowerDeviceD3, kCameraLocation));
    Check(true);
    EXPECT_EQ(Entry(L"A").hubPath, std::wstring(L"\\\\?\\USB#HUB#FIRST#") + kHubGuid);

    // A longer match later in the list replaces the earlier one.
    system_.hubs.push_back(Hub(L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)", longer));
    system_.cameras.push_back(Camera(L"B", kPowerDeviceD3, kCameraLocation));
    Check(true);
    EXPECT_EQ(Entry(L"B").hubPath, std::wstring(L"\\\\?\\USB#HUB#LONG#") + kHubGuid);
}

TEST_F(DeviceCheckTest, HubsWithoutUsableInterfacePathArePassedOver) {
    system_.hubs = {Hub(L"PCIROOT(0)", L"\\\\?\\ROOT#{x}"),
                    {L"H", std::nullopt, kRootHubLocation, std::nullopt},  // unreadable
                    Hub(kRootHubLocation, L"no hash at all"),              // cannot form a hub path
                    {L"H", std::nullopt, std::nullopt, L"X#Y"}};
    system_.cameras.push_back(Camera(L"A", kPowerDeviceD3, kCameraLocation));
    Check(true);
    EXPECT_EQ(Entry(L"A").hubPath, std::wstring(L"\\\\?\\ROOT#") + kHubGuid);

    // With no usable hub at all the camera lies under none.
    system_.hubs.erase(system_.hubs.begin());
    system_.cameras.push_back(Camera(L"B", kPowerDeviceD0, kCameraLocation));
    EXPECT_EQ(Check(false), kCameraInUse);
    EXPECT_EQ(Entry(L"B").baseline, kBaselineNoHub);
    EXPECT_EQ(Entry(L"B").hubPath[0], L'\0');
}

TEST_F(DeviceCheckTest, StopsAtTheFirstCameraInUse) {
    system_.cameras = {Camera(L"IDLE", kPowerDeviceD3, L"ACPI(1)"),
                       Camera(L"ON", kPowerDeviceD0, L"ACPI(2)"),
                       Camera(L"LATER", kPowerDeviceD0, L"ACPI(3)")};
    EXPECT_EQ(Check(false), kCameraInUse);
    EXPECT_EQ(system_.powerReads, (std::vector<std::wstring>{L"IDLE", L"ON"}));
    EXPECT_EQ(cache_.Find(L"LATER"), nullptr);
    EXPECT_EQ(cache_.size(), 2u);
}

TEST_F(DeviceCheckTest, CacheKeepsOneEntryPerDeviceInOrderUntilFreed) {
    system_.cameras = {Camera(L"ROOT\\IMAGE\\0000", kPowerDeviceD3, L"ACPI(1)"),
                       Camera(L"root\\image\\0000", kPowerDeviceD3, L"ACPI(2)"),
                       Camera(L"ROOT\\IMAGE\\00001", 0, std::nullopt)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Check(true), kNoCameraInUse);
    }
    EXPECT_EQ(system_.hubSearches, 2);  // once per camera with a location
    ASSERT_EQ(cache_.size(), 3u);
    const DeviceCacheEntry* entry = cache_.first();
    EXPECT_STREQ(entry->instanceId, L"ROOT\\IMAGE\\0000");
    entry = cache_.after(entry);
    EXPECT_STREQ(entry->instanceId, L"root\\image\\0000");
    entry = cache_.after(entry);
    EXPECT_STREQ(entry->instanceId, L"ROOT\\IMAGE\\00001");
    EXPECT_EQ(cache_.after(entry), nullptr);
    EXPECT_EQ(cache_.Find(L"ROOT\\IMAGE\\000"), nullptr);

    cache_.Free();
    EXPECT_EQ(cache_.size(), 0u);
    EXPECT_EQ(cache_.first(), nullptr);
    Check(true);
    EXPECT_EQ(system_.hubSearches, 4);
    EXPECT_EQ(cache_.size(), 3u);
}

TEST_F(DeviceCheckTest, PowerReadFailureSkipsTheDevice) {
    system_.cameras = {Camera(L"A", kPowerDeviceD0, L"ACPI(1)"),
                       Camera(L"B", kPowerDeviceD0, L"ACPI(2)")};
    system_.cameras[0].power.reset();
    EXPECT_EQ(Check(false), kCameraInUse);
    EXPECT_EQ(cache_.size(), 2u);
}

// The decision for one camera: where it sits, its power state, the mode, its
// baseline and whether a live record holds the camera.
TEST_F(DeviceCheckTest, DecisionTable) {
    enum class Where { NoHub, UsbHub, Unknown };
    struct Row {
        Where where;
        int32_t power;
        bool countPipes;
        std::optional<uint32_t> baseline;  // pipes counted at the idle sighting
        uint32_t pipesNow;
        bool liveRecord;
        int expected;
    };
    constexpr int kOn = kCameraInUse;
    constexpr int kOff = kNoCameraInUse;
    const Row rows[] = {
        // On no hub: D0 alone decides, records add nothing.
        {Where::NoHub, kPowerDeviceD0, false, std::nullopt, 0, false, kOn},
        {Where::NoHub, kPowerDeviceD0, true, std::nullopt, 0, false, kOn},
        {Where::NoHub, kPowerDeviceD0, false, std::nullopt, 0, true, kOn},
        {Where::NoHub, kPowerDeviceD3, false, std::nullopt, 0, true, kOff},
        {Where::NoHub, kPowerDeviceD2, true, std::nullopt, 0, true, kOff},
        // Under a USB hub, default mode: only a live record makes D0 count.
        {Where::UsbHub, kPowerDeviceD0, false, 2, 9, false, kOff},
        {Where::UsbHub, kPowerDeviceD0, false, 2, 9, true, kOn},
        {Where::UsbHub, kPowerDeviceD0, false, std::nullopt, 0, true, kOn},
        {Where::UsbHub, kPowerDeviceD2, false, 2, 9, true, kOff},
        {Where::UsbHub, kPowerDeviceD1, false, 2, 9, true, kOff},
        {Where::UsbHub, kPowerDeviceD3, false, 2, 9, true, kOff},
        // USB watch mode: pipes above the baseline count alone.
        {Where::UsbHub, kPowerDeviceD0, true, 2, 3, false, kOn},
        {Where::UsbHub, kPowerDeviceD0, true, 2, 2, false, kOff},
        {Where::UsbHub, kPowerDeviceD0, true, 2, 2, true, kOn},
        {Where::UsbHub, kPowerDeviceD0, true, std::nullopt, 9, false, kOff},
        {Where::UsbHub, kPowerDeviceD0, true, std::nullopt, 9, true, kOn},
        // A location that cannot be read never counts.
        {Where::Unknown, kPowerDeviceD0, true, std::nullopt, 9, true, kOff},
        {Where::Unknown, kPowerDeviceD0, false, std::nullopt, 9, true, kOff},
        // Neither idle nor D0.
        {Where::UsbHub, 5, true, 2, 9, true, kOff},
        {Where::NoHub, 0, false, std::nullopt, 0, true, kOff},
    };
    int line = 0;
    for (const Row& row : rows) {
        ++line;
        FakeDevicePort system;
        DeviceCache cache;
        std::optional<std::wstring> location = kCameraLocation;
        if (row.where == Where::Unknown) {
            location.reset();
        }
        if (row.where != Where::NoHub) {
            system.hubs.push_back(Hub(kRootHubLocation, kRootHubInterface));
        }
        // First sighting idle (D2), where the baseline is taken when counted.
        system.otherLists[DeviceSource::CameraClass] = {Camera(L"CAM", kPowerDeviceD2, location)};
        if (row.baseline) {
            system.openPipes[{kRootHubPath, 3}] = *row.baseline;
        }
        ASSERT_EQ(CheckDevices(system, cache, DeviceCheckInput{row.countPipes, row.liveRecord}),
                  kNoCameraInUse)
            << "row " << line;
        system.openPipes[{kRootHubPath, 3}] = row.pipesNow;
        system.otherLists[DeviceSource::CameraClass][0].power = row.power;
        EXPECT_EQ(CheckDevices(system, cache, DeviceCheckInput{row.countPipes, row.liveRecord}),
                  row.expected)
            << "row " << line;
    }
}

TEST_F(DeviceCheckTest, IdleStatesD1AndD2TakeTheBaselineLikeD3) {
    for (const int32_t idle : {kPowerDeviceD1, kPowerDeviceD2, kPowerDeviceD3}) {
        FakeDevicePort system;
        DeviceCache cache;
        system.cameras.push_back(Camera(L"USB\\CAM", idle, kCameraLocation));
        system.hubs.push_back(Hub(kRootHubLocation, kRootHubInterface));
        system.openPipes[{kRootHubPath, 3}] = 4;
        EXPECT_EQ(CheckDevices(system, cache, DeviceCheckInput{true, false}), kNoCameraInUse);
        ASSERT_NE(cache.Find(L"USB\\CAM"), nullptr);
        EXPECT_EQ(cache.Find(L"USB\\CAM")->baseline, 4) << idle;
    }
}

TEST_F(DeviceCheckTest, ListsAreReadInOrderAndEachDeviceIsJudgedOnce) {
    system_.cameras = {Camera(L"SCANNER", kPowerDeviceD3, L"PCI(2)")};
    system_.otherLists[DeviceSource::CameraClass] = {Camera(L"CAM", kPowerDeviceD3, L"ACPI(1)")};
    // The same camera again by its interfaces, and an infrared sensor of
    // another class.
    system_.otherLists[DeviceSource::VideoCameraInterface] = {
        Camera(L"CAM", kPowerDeviceD3, L"ACPI(1)"), Camera(L"MEDIA", kPowerDeviceD3, L"ACPI(3)")};
    system_.otherLists[DeviceSource::SensorCameraInterface] = {
        Camera(L"CAM", kPowerDeviceD3, L"ACPI(1)"), Camera(L"IR", kPowerDeviceD3, L"ACPI(4)")};
    EXPECT_EQ(Check(false), kNoCameraInUse);
    EXPECT_EQ(system_.opened,
              (std::vector<DeviceSource>{DeviceSource::ImagingClass, DeviceSource::CameraClass,
                                         DeviceSource::VideoCameraInterface,
                                         DeviceSource::SensorCameraInterface}));
    EXPECT_EQ(system_.powerReads, (std::vector<std::wstring>{L"SCANNER", L"CAM", L"MEDIA", L"IR"}));
    EXPECT_EQ(Entry(L"MEDIA").source, DeviceSource::VideoCameraInterface);

    // The next check judges them again, once each; one in use ends it.
    system_.powerReads.clear();
    system_.otherLists[DeviceSource::VideoCameraInterface][1].power = kPowerDeviceD0;
    EXPECT_EQ(Check(false), kCameraInUse);
    EXPECT_EQ(system_.powerReads, (std::vector<std::wstring>{L"SCANNER", L"CAM", L"MEDIA"}));
    EXPECT_EQ(system_.opened.size(), 4u + 3u);
    EXPECT_EQ(cache_.size(), 4u);
}

TEST_F(DeviceCheckTest, NoDeviceInAnyListOrNoListMeansNoCamera) {
    system_.imagingListFails = true;
    system_.otherListsFail = true;
    EXPECT_EQ(Check(true), kNoImagingDevice);
    // Only a Camera-class device: present, not in use.
    system_.otherListsFail = false;
    system_.otherLists[DeviceSource::CameraClass] = {Camera(L"CAM", kPowerDeviceD3, L"ACPI(1)")};
    EXPECT_EQ(Check(true), kNoCameraInUse);
}

// A diagnostic run hears every judged device with the reason.
TEST_F(DeviceCheckTest, ObserverHearsEachVerdictAndTheMissingLists) {
    struct Recorder final : DeviceCheckObserver {
        std::vector<DeviceSource> unavailable;
        std::vector<std::pair<std::wstring, DeviceVerdict>> verdicts;
        std::vector<std::optional<uint32_t>> pipes;
        void OnSourceUnavailable(DeviceSource source) override { unavailable.push_back(source); }
        void OnJudged(const DeviceJudgement& judgement) override {
            verdicts.emplace_back(judgement.entry ? judgement.entry->instanceId : L"-",
                                  judgement.verdict);
            pipes.push_back(judgement.pipes);
        }
    } recorder;
    AddUsbCamera(kPowerDeviceD3);
    SetPipes(2);
    system_.cameras.push_back({std::nullopt, kPowerDeviceD0, L"X(1)", std::nullopt});
    system_.cameras.push_back(Camera(L"NOPOWER", 0, L"ACPI(1)"));
    system_.cameras.back().power.reset();
    system_.otherListsFail = true;
    static_cast<void>(CheckDevices(system_, cache_, DeviceCheckInput{true, false}, &recorder));
    EXPECT_EQ(
        recorder.unavailable,
        (std::vector<DeviceSource>{DeviceSource::CameraClass, DeviceSource::VideoCameraInterface,
                                   DeviceSource::SensorCameraInterface}));
    using V = DeviceVerdict;
    EXPECT_EQ(recorder.verdicts, (std::vector<std::pair<std::wstring, DeviceVerdict>>{
                                     {L"USB\\CAM", V::Idle},
                                     {L"-", V::InstanceIdUnreadable},
                                     {L"NOPOWER", V::PowerUnreadable}}));
    EXPECT_EQ(recorder.pipes[0], std::optional<uint32_t>(2));

    recorder.verdicts.clear();
    system_.cameras = {Camera(L"USB\\CAM", kPowerDeviceD0, kCameraLocation)};
    static_cast<void>(CheckDevices(system_, cache_, DeviceCheckInput{false, false}, &recorder));
    static_cast<void>(CheckDevices(system_, cache_, DeviceCheckInput{true, false}, &recorder));
    SetPipes(3);
    static_cast<void>(CheckDevices(system_, cache_, DeviceCheckInput{true, false}, &recorder));
    system_.openPipes.clear();
    static_cast<void>(CheckDevices(system_, cache_, DeviceCheckInput{true, false}, &recorder));
    static_cast<void>(CheckDevices(system_, cache_, DeviceCheckInput{true, true}, &recorder));
    EXPECT_EQ(recorder.verdicts, (std::vector<std::pair<std::wstring, DeviceVerdict>>{
                                     {L"USB\\CAM", V::UsbNotCounted},
                                     {L"USB\\CAM", V::UsbPipesAtBaseline},
                                     {L"USB\\CAM", V::InUseByPipes},
                                     {L"USB\\CAM", V::UsbPipeCountFailed},
                                     {L"USB\\CAM", V::InUseByLiveRecord}}));
}

TEST(PortFromLocationPath, ReadsTheRightmostNonZeroGroup) {
    EXPECT_EQ(PortFromLocationPath(kCameraLocation), 3);
    EXPECT_EQ(PortFromLocationPath(L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(12)"), 12);
    EXPECT_EQ(PortFromLocationPath(L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(0)#USBMI(0)"), 1400);
    EXPECT_EQ(PortFromLocationPath(L"PCIROOT(0)#USBROOT(0)#USB(0)"), 0);
    EXPECT_EQ(PortFromLocationPath(L"A( 7)"), 7);       // _wtoi skips blanks
    EXPECT_EQ(PortFromLocationPath(L"A(4x)#B(y)"), 4);  // and stops at a non-digit
    EXPECT_EQ(PortFromLocationPath(L"A(2)#B(0"), 2);    // an unclosed group is passed by
}

TEST(PortFromLocationPath, MalformedTextGivesZero) {
    for (const wchar_t* text :
         {L"", L"((", L")", L"))", L"()", L")(", L"A)5(", L"(0)(0)", L"#", L"USB3", L"(abc)"}) {
        EXPECT_EQ(PortFromLocationPath(text), 0) << text;
    }
}

TEST(HubPathFromInterfacePath, ReplacesEverythingAfterTheLastHash) {
    DeviceText hubPath = {};
    ASSERT_TRUE(HubPathFromInterfacePath(kRootHubInterface, hubPath));
    EXPECT_STREQ(hubPath, kRootHubPath);
    ASSERT_TRUE(HubPathFromInterfacePath(L"#", hubPath));
    EXPECT_EQ(hubPath, std::wstring(L"#") + kHubGuid);
}

TEST(HubPathFromInterfacePath, RefusesPathsWithoutHashOrTooLong) {
    DeviceText hubPath = {L'k', L'e', L'p', L't'};
    EXPECT_FALSE(HubPathFromInterfacePath(L"", hubPath));
    EXPECT_FALSE(HubPathFromInterfacePath(L"\\\\?\\no-separator", hubPath));
    // 221 characters up to the '#' plus the 38 of the GUID fill all 259.
    const std::wstring fits = std::wstring(220, L'a') + L"#tail";
    const std::wstring tooLong = std::wstring(221, L'a') + L"#tail";
    EXPECT_FALSE(HubPathFromInterfacePath(tooLong.c_str(), hubPath));
    EXPECT_STREQ(hubPath, L"kept");
    ASSERT_TRUE(HubPathFromInterfacePath(fits.c_str(), hubPath));
    EXPECT_EQ(std::wcslen(hubPath), kDeviceTextLength - 1);
}

}  // namespace
}  // namespace lensbeacon
