// The device check: is a camera streaming right now?
//
// The check looks at the present devices of the imaging setup class, then at
// those of the Camera setup class, then at every device that exposes a video
// camera or sensor camera interface, and judges each device instance once.
// A camera in an idle power state (D1, D2 or D3) is idle. A camera fully on
// (D0) is in use when it lies under no USB hub. A camera under a USB hub in
// D0 is in use when, with pipes counted, its hub port shows more open pipes
// than the baseline taken while it was idle, or when a live record of camera
// use says some program holds the camera. A camera whose location cannot be
// read never counts as in use. Records only ever add: they can make a USB
// camera in D0 count, never take an "in use" away.
//
// The check reaches the system only through DevicePort, so the decision is
// tested with fakes; CreateWin32DevicePort() (device_port_win32.h)
// gives the real one. Only the worker thread runs checks and owns the cache;
// a diagnostic run owns a cache of its own.
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
inline constexpr int32_t kPowerDeviceD1 = 2;
inline constexpr int32_t kPowerDeviceD2 = 3;
inline constexpr int32_t kPowerDeviceD3 = 4;

// Results of CheckDevices.
inline constexpr int kCameraInUse = 1;
inline constexpr int kNoCameraInUse = 0;
inline constexpr int kNoImagingDevice = 2;  // none present, or no list was obtained

// The device lists one check opens, in the order it looks at them.
enum class DeviceSource : uint8_t {
    ImagingClass,           // GUID_DEVCLASS_IMAGE
    CameraClass,            // GUID_DEVCLASS_CAMERA
    VideoCameraInterface,   // KSCATEGORY_VIDEO_CAMERA, any class
    SensorCameraInterface,  // KSCATEGORY_SENSOR_CAMERA, any class
};
inline constexpr DeviceSource kDeviceSources[] = {
    DeviceSource::ImagingClass, DeviceSource::CameraClass, DeviceSource::VideoCameraInterface,
    DeviceSource::SensorCameraInterface};

// One opened device list. Select(i) moves to member i and fails past the end;
// the reads refer to the selected member and fail when none is selected.
// Every read fills a zero-filled, NUL-terminated DeviceText or fails.
class DeviceListPort {
  public:
    virtual ~DeviceListPort() = default;
    [[nodiscard]] virtual bool Select(uint32_t index) = 0;
    [[nodiscard]] virtual bool ReadInstanceId(DeviceText& id) = 0;
    [[nodiscard]] virtual bool ReadPowerState(int32_t& state) = 0;
    [[nodiscard]] virtual bool ReadLocationPath(
        DeviceText& location) = 0;  // first of the location paths
    [[nodiscard]] virtual bool ReadInterfacePath(DeviceText& path) = 0;
};

class DevicePort {
  public:
    virtual ~DevicePort() = default;
    // Present devices of one source; null when the list is not obtained.
    [[nodiscard]] virtual std::unique_ptr<DeviceListPort> OpenDevices(DeviceSource source) = 0;
    // Present devices with a USB hub interface; null when not obtained.
    [[nodiscard]] virtual std::unique_ptr<DeviceListPort> OpenUsbHubs() = 0;
    // Open pipes on `port` (never 0) of the hub at `hubPath`; empty on failure.
    [[nodiscard]] virtual std::optional<uint32_t> CountOpenPipes(const wchar_t* hubPath,
                                                                 int32_t port) = 0;
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
    // Where the device was first met, and its location path ("" when it
    // could not be read), for the diagnostic report.
    DeviceSource source = DeviceSource::ImagingClass;
    bool locationRead = false;
    DeviceText location = {};
    // The number of the last check that judged this device, so that a
    // device listed by several sources is judged once per check.
    uint32_t lastCheck = 0;
};

// One entry per device met during the run, in the order met. Entries are
// found by exact (case-sensitive, whole) instance identifier and live until
// Free() or the cache's destruction.
class DeviceCache {
  public:
    DeviceCache() noexcept;
    ~DeviceCache();
    DeviceCache(const DeviceCache&) = delete;
    DeviceCache& operator=(const DeviceCache&) = delete;

    DeviceCacheEntry* Find(const wchar_t* instanceId) const;
    void Append(DeviceCacheEntry* entry);  // takes ownership; entry from new (std::nothrow)
    void Free();
    [[nodiscard]] std::size_t size() const;
    const DeviceCacheEntry* first() const { return head_.next == &head_ ? nullptr : head_.next; }
    const DeviceCacheEntry* after(const DeviceCacheEntry* entry) const {
        return entry->next == &head_ ? nullptr : entry->next;
    }
    // A new number for the check that starts; never 0.
    [[nodiscard]] uint32_t BeginCheck() noexcept;

  private:
    DeviceCacheEntry head_;  // fixed head of the circular list
    uint32_t checks_ = 0;
};

// What a check knows besides the devices.
struct DeviceCheckInput {
    bool countPipes = false;      // USB watch mode
    bool liveRecordHeld = false;  // a live record says some program holds the camera
};

// Why a device was judged as it was.
enum class DeviceVerdict : uint8_t {
    InstanceIdUnreadable,
    NoMemory,  // no cache entry could be made
    PowerUnreadable,
    Idle,                // D1, D2 or D3
    OtherPowerState,     // neither idle nor D0
    InUseOnNoHub,        // D0, under no USB hub
    LocationUnknown,     // D0, but where it sits cannot be read
    InUseByPipes,        // D0, more open pipes than the baseline
    InUseByLiveRecord,   // D0 under a USB hub, and a live record
    UsbNotCounted,       // D0 under a USB hub, no pipe counting, no live record
    UsbNoBaseline,       // D0 under a USB hub, no baseline yet, no live record
    UsbPipeCountFailed,  // D0 under a USB hub, the hub request failed, no live record
    UsbPipesAtBaseline,  // D0 under a USB hub, no more pipes than the baseline
};

[[nodiscard]] constexpr bool IsInUseVerdict(DeviceVerdict verdict) noexcept {
    return verdict == DeviceVerdict::InUseOnNoHub || verdict == DeviceVerdict::InUseByPipes ||
           verdict == DeviceVerdict::InUseByLiveRecord;
}

// One judged device, as a diagnostic run reports it. `entry` is null when
// there is none (an unreadable identifier, or no memory).
struct DeviceJudgement {
    DeviceSource listedBy = DeviceSource::ImagingClass;
    const DeviceCacheEntry* entry = nullptr;
    std::optional<int32_t> power;
    std::optional<uint32_t> pipes;  // the count made by this check, if any
    DeviceVerdict verdict = DeviceVerdict::InstanceIdUnreadable;
};

// Told of every device as the check judges it.
class DeviceCheckObserver {
  public:
    virtual ~DeviceCheckObserver() = default;
    virtual void OnSourceUnavailable(DeviceSource source) = 0;
    virtual void OnJudged(const DeviceJudgement& judgement) = 0;
};

// One check: kCameraInUse, kNoCameraInUse or kNoImagingDevice. Stops at the
// first camera in use; devices after it are not looked at.
[[nodiscard]] int CheckDevices(DevicePort& system, DeviceCache& cache,
                               const DeviceCheckInput& input,
                               DeviceCheckObserver* observer = nullptr);

}  // namespace lensbeacon
