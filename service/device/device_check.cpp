#include "device_check.h"

#include <cstdint>
#include <cwchar>
#include <limits>
#include <new>

#include "device_paths.h"

namespace lensbeacon {

DeviceCache::DeviceCache() noexcept {
    head_.next = &head_;
    head_.previous = &head_;
}

DeviceCache::~DeviceCache() {
    Free();
}

DeviceCacheEntry* DeviceCache::Find(const wchar_t* instanceId) const {
    for (DeviceCacheEntry* entry = head_.next; entry != &head_; entry = entry->next) {
        if (std::wcscmp(entry->instanceId, instanceId) == 0) {
            return entry;
        }
    }
    return nullptr;
}

void DeviceCache::Append(DeviceCacheEntry* entry) {
    entry->next = &head_;
    entry->previous = head_.previous;
    head_.previous->next = entry;
    head_.previous = entry;
}

void DeviceCache::Free() {
    DeviceCacheEntry* entry = head_.next;
    while (entry != &head_) {
        DeviceCacheEntry* next = entry->next;
        delete entry;
        entry = next;
    }
    head_.next = &head_;
    head_.previous = &head_;
}

uint32_t DeviceCache::BeginCheck() noexcept {
    if (++checks_ == 0) {
        // Wrapped: forget every earlier number, so none is taken for this one.
        for (DeviceCacheEntry* entry = head_.next; entry != &head_; entry = entry->next) {
            entry->lastCheck = 0;
        }
        checks_ = 1;  // 0 marks a device that no check has judged
    }
    return checks_;
}

std::size_t DeviceCache::size() const {
    std::size_t count = 0;
    for (const DeviceCacheEntry* entry = head_.next; entry != &head_; entry = entry->next) {
        ++count;
    }
    return count;
}

namespace {

// The hub whose location path is the longest prefix of the camera's; among
// equally long ones the first enumerated. Hubs whose location or interface
// path cannot be read, or whose hub path cannot be formed, are passed over.
bool FindHub(DevicePort& system, const wchar_t* location, DeviceText& hubPath) {
    std::unique_ptr<DeviceListPort> hubs = system.OpenUsbHubs();
    if (!hubs) {
        return false;
    }
    std::size_t best = 0;
    for (uint32_t index = 0; hubs->Select(index); ++index) {
        DeviceText hubLocation = {};
        if (!hubs->ReadLocationPath(hubLocation)) {
            continue;
        }
        const std::size_t length = std::wcslen(hubLocation);
        if (std::wcsncmp(location, hubLocation, length) != 0 || length <= best) {
            continue;
        }
        DeviceText interfacePath = {};
        if (!hubs->ReadInterfacePath(interfacePath) ||
            !HubPathFromInterfacePath(interfacePath, hubPath)) {
            continue;
        }
        best = length;
    }
    return best > 0;
}

DeviceCacheEntry* CreateCacheEntry(DevicePort& system, DeviceListPort& devices, DeviceCache& cache,
                                   const DeviceText& instanceId, DeviceSource source) {
    auto* entry = new (std::nothrow) DeviceCacheEntry;
    if (entry == nullptr) {
        return nullptr;
    }
    std::wmemcpy(entry->instanceId, instanceId, kDeviceTextLength);
    entry->instanceId[kDeviceTextLength - 1] = L'\0';
    entry->source = source;
    // Unreadable location: baseline stays unmeasured, port 0 and no hub, so
    // the device can never count as in use.
    if (devices.ReadLocationPath(entry->location)) {
        entry->locationRead = true;
        if (FindHub(system, entry->location, entry->hubPath)) {
            entry->port = PortFromLocationPath(entry->location);
        } else {
            entry->baseline = kBaselineNoHub;
        }
    }
    cache.Append(entry);
    return entry;
}

// Port 0 fails without asking the system. Counts that do not fit a
// non-negative 32-bit value are refused, so no count can pose as one of the
// baseline markers.
std::optional<int32_t> CountOpenPipes(DevicePort& system, const DeviceCacheEntry& entry,
                                      DeviceJudgement& judgement) {
    if (entry.port == 0) {
        return std::nullopt;
    }
    const std::optional<uint32_t> count = system.CountOpenPipes(entry.hubPath, entry.port);
    judgement.pipes = count;
    if (!count || *count > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*count);
}

constexpr bool IsIdlePowerState(int32_t state) noexcept {
    return state == kPowerDeviceD1 || state == kPowerDeviceD2 || state == kPowerDeviceD3;
}

DeviceVerdict Judge(DevicePort& system, DeviceCacheEntry& entry, int32_t powerState,
                    const DeviceCheckInput& input, DeviceJudgement& judgement) {
    if (IsIdlePowerState(powerState)) {
        // The baseline is taken once: at the first idle sighting with a count.
        if (entry.baseline == kBaselineNotMeasured) {
            if (const std::optional<int32_t> count = CountOpenPipes(system, entry, judgement)) {
                entry.baseline = *count;
            }
        }
        return DeviceVerdict::Idle;
    }
    if (powerState != kPowerDeviceD0) {
        return DeviceVerdict::OtherPowerState;
    }
    if (entry.baseline == kBaselineNoHub) {
        return DeviceVerdict::InUseOnNoHub;
    }
    if (entry.hubPath[0] == L'\0') {
        return DeviceVerdict::LocationUnknown;
    }
    // Under a USB hub: the open pipes in USB watch mode, backed up by a live
    // record in both modes.
    DeviceVerdict withoutRecord = DeviceVerdict::UsbNotCounted;
    if (input.countPipes) {
        withoutRecord = DeviceVerdict::UsbNoBaseline;
        if (entry.baseline != kBaselineNotMeasured) {
            const std::optional<int32_t> count = CountOpenPipes(system, entry, judgement);
            if (count && *count > entry.baseline) {
                return DeviceVerdict::InUseByPipes;
            }
            withoutRecord =
                count ? DeviceVerdict::UsbPipesAtBaseline : DeviceVerdict::UsbPipeCountFailed;
        }
    }
    return input.liveRecordHeld ? DeviceVerdict::InUseByLiveRecord : withoutRecord;
}

class CheckRun {
  public:
    CheckRun(DevicePort& system, DeviceCache& cache, const DeviceCheckInput& input,
             DeviceCheckObserver* observer)
        : system_(system),
          cache_(cache),
          input_(input),
          observer_(observer),
          check_(cache.BeginCheck()) {}

    // Looks at one source's devices, until a camera in use is found.
    void LookAt(DeviceSource source) {
        std::unique_ptr<DeviceListPort> devices = system_.OpenDevices(source);
        if (!devices) {
            if (observer_ != nullptr) {
                observer_->OnSourceUnavailable(source);
            }
            return;
        }
        for (uint32_t index = 0; !inUse_ && devices->Select(index); ++index) {
            enumerated_ = true;
            DeviceJudgement judgement;
            judgement.listedBy = source;
            if (JudgeSelected(*devices, source, judgement) && observer_ != nullptr) {
                observer_->OnJudged(judgement);
            }
        }
    }

    int Result() const {
        if (inUse_) {
            return kCameraInUse;
        }
        return enumerated_ ? kNoCameraInUse : kNoImagingDevice;
    }
    bool inUse() const { return inUse_; }

  private:
    // False for a device that an earlier list of this check judged already.
    bool JudgeSelected(DeviceListPort& devices, DeviceSource source, DeviceJudgement& judgement) {
        DeviceText instanceId = {};
        if (!devices.ReadInstanceId(instanceId)) {
            judgement.verdict = DeviceVerdict::InstanceIdUnreadable;
            return true;
        }
        DeviceCacheEntry* entry = cache_.Find(instanceId);
        if (entry == nullptr) {
            entry = CreateCacheEntry(system_, devices, cache_, instanceId, source);
            if (entry == nullptr) {
                judgement.verdict = DeviceVerdict::NoMemory;
                return true;
            }
        } else if (entry->lastCheck == check_) {
            return false;
        }
        entry->lastCheck = check_;
        judgement.entry = entry;
        int32_t powerState = 0;
        if (!devices.ReadPowerState(powerState)) {
            judgement.verdict = DeviceVerdict::PowerUnreadable;
            return true;
        }
        judgement.power = powerState;
        judgement.verdict = Judge(system_, *entry, powerState, input_, judgement);
        inUse_ = IsInUseVerdict(judgement.verdict);
        return true;
    }

    DevicePort& system_;
    DeviceCache& cache_;
    const DeviceCheckInput& input_;
    DeviceCheckObserver* observer_;
    const uint32_t check_;
    bool enumerated_ = false;
    bool inUse_ = false;
};

}  // namespace

int CheckDevices(DevicePort& system, DeviceCache& cache, const DeviceCheckInput& input,
                 DeviceCheckObserver* observer) {
    CheckRun run(system, cache, input, observer);
    for (const DeviceSource source : kDeviceSources) {
        run.LookAt(source);
        if (run.inUse()) {
            break;
        }
    }
    return run.Result();
}

}  // namespace lensbeacon
