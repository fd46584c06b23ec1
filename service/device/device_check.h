// The device check: is a camera streaming right now?
//
// Every present device of the imaging setup class is looked at. A camera
// powered down (D3) is idle. A camera fully on (D0) is in use when it lies
// under no USB hub, or, when pipes are counted, when its hub port shows more
// open pipes than the baseline taken while it was in D3. A camera whose
// location cannot be read never counts as in use.
//
// The check reaches the system only through DeviceSystem, so the decision is
// tested with fakes; CreateSetupApiDeviceSystem() (device_system_setupapi.h)
// gives the real one. Only the worker thread runs checks and owns the cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace lensbeacon {

// Instance identifiers, location paths, interface and hub paths.
inline constexpr std::size_t kDeviceTextLength = 260;
using DeviceText = wchar_t[kDeviceTextLength];

// Most recent Plug and Play power states the check tells apart.
inline constexpr int32_t kPowerDeviceD0 = 1;
inline constexpr int32_t kPowerDeviceD3 = 4;

// Results of CheckDevices.
inline constexpr int kCameraInUse = 1;
inline constexpr int kNoCameraInUse = 0;
inline constexpr int kNoImagingDevice = 2;  // none present, or the list was not obtained

// One opened device list. Select(i) moves to member i and fails past the end;
// the reads refer to the selected member and fail when none is selected.
// Every read fills a zero-filled, NUL-terminated DeviceText or fails.
class DeviceList {
  public:
    virtual ~DeviceList() = default;
    virtual bool Select(uint32_t index) = 0;
    virtual bool ReadInstanceId(DeviceText& id) = 0;
    virtual bool ReadPowerState(int32_t& state) = 0;
    virtual bool ReadLocationPath(DeviceText& location) = 0;  // first of the location paths
    virtual bool ReadInterfacePath(DeviceText& path) = 0;
};

class DeviceSystem {
  public:
    virtual ~DeviceSystem() = default;
    // Present devices of the imaging class; null when the list is not obtained.
    virtual std::unique_ptr<DeviceList> OpenImagingDevices() = 0;
    // Present devices with a USB hub interface; null when not obtained.
    virtual std::unique_ptr<DeviceList> OpenUsbHubs() = 0;
    // Open pipes on `port` (never 0) of the hub at `hubPath`; empty on failure.
    virtual std::optional<uint32_t> CountOpenPipes(const wchar_t* hubPath, int32_t port) = 0;
};

inline constexpr int32_t kBaselineNotMeasured = -1;
inline constexpr int32_t kBaselineNoHub = -2;  // final: the camera lies under no USB hub

struct DeviceCacheEntry {
    DeviceCacheEntry* next = nullptr;
    DeviceCacheEntry* previous = nullptr;
    DeviceText instanceId = {};
    DeviceText hubPath = {};  // empty when the camera hangs on no hub found
    int32_t port = 0;         // 0 = none
    int32_t baseline = kBaselineNotMeasured;
};

// One entry per imaging device met during the run, in the order met. Entries
// are found by exact (case-sensitive, whole) instance identifier and live
// until Free() or the cache's destruction.
class DeviceCache {
  public:
    DeviceCache() noexcept;
    ~DeviceCache();
    DeviceCache(const DeviceCache&) = delete;
    DeviceCache& operator=(const DeviceCache&) = delete;

    DeviceCacheEntry* Find(const wchar_t* instanceId) const;
    void Append(DeviceCacheEntry* entry);  // takes ownership; entry from new (std::nothrow)
    void Free();
    std::size_t size() const;
    const DeviceCacheEntry* first() const { return head_.next == &head_ ? nullptr : head_.next; }
    const DeviceCacheEntry* after(const DeviceCacheEntry* entry) const {
        return entry->next == &head_ ? nullptr : entry->next;
    }

  private:
    DeviceCacheEntry head_;  // fixed head of the circular list
};

// One check: kCameraInUse, kNoCameraInUse or kNoImagingDevice. Stops at the
// first camera in use; devices after it are not looked at.
int CheckDevices(DeviceSystem& system, DeviceCache& cache, bool countPipes);

}  // namespace lensbeacon
