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
bool FindHub(DeviceSystem& system, const wchar_t* location, DeviceText& hubPath) {
    std::unique_ptr<DeviceList> hubs = system.OpenUsbHubs();
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

DeviceCacheEntry* CreateCacheEntry(DeviceSystem& system, DeviceList& devices, DeviceCache& cache,
                                   const DeviceText& instanceId) {
    auto* entry = new (std::nothrow) DeviceCacheEntry;
    if (entry == nullptr) {
        return nullptr;
    }
    std::wmemcpy(entry->instanceId, instanceId, kDeviceTextLength);
    entry->instanceId[kDeviceTextLength - 1] = L'\0';
    DeviceText location = {};
    // Unreadable location: baseline stays unmeasured and port 0, so the
    // device can never count as in use.
    if (devices.ReadLocationPath(location)) {
        if (FindHub(system, location, entry->hubPath)) {
            entry->port = PortFromLocationPath(location);
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
std::optional<int32_t> CountOpenPipes(DeviceSystem& system, const DeviceCacheEntry& entry) {
    if (entry.port == 0) {
        return std::nullopt;
    }
    const std::optional<uint32_t> count = system.CountOpenPipes(entry.hubPath, entry.port);
    if (!count || *count > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*count);
}

bool IsInUse(DeviceSystem& system, DeviceCacheEntry& entry, int32_t powerState, bool countPipes) {
    if (powerState == kPowerDeviceD3) {
        // The baseline is taken once: at the first D3 sighting with a count.
        if (entry.baseline == kBaselineNotMeasured) {
            if (const std::optional<int32_t> count = CountOpenPipes(system, entry)) {
                entry.baseline = *count;
            }
        }
        return false;
    }
    if (powerState != kPowerDeviceD0) {
        return false;
    }
    if (entry.baseline == kBaselineNoHub) {
        return true;
    }
    if (!countPipes || entry.baseline == kBaselineNotMeasured) {
        return false;
    }
    const std::optional<int32_t> count = CountOpenPipes(system, entry);
    return count && *count > entry.baseline;
}

}  // namespace

int CheckDevices(DeviceSystem& system, DeviceCache& cache, bool countPipes) {
    std::unique_ptr<DeviceList> devices = system.OpenImagingDevices();
    if (!devices) {
        return kNoImagingDevice;
    }
    bool enumerated = false;
    bool inUse = false;
    for (uint32_t index = 0; !inUse && devices->Select(index); ++index) {
        enumerated = true;
        DeviceText instanceId = {};
        if (!devices->ReadInstanceId(instanceId)) {
            continue;
        }
        DeviceCacheEntry* entry = cache.Find(instanceId);
        if (entry == nullptr) {
            entry = CreateCacheEntry(system, *devices, cache, instanceId);
            if (entry == nullptr) {
                continue;
            }
        }
        int32_t powerState = 0;
        if (!devices->ReadPowerState(powerState)) {
            continue;
        }
        inUse = IsInUse(system, *entry, powerState, countPipes);
    }
    if (inUse) {
        return kCameraInUse;
    }
    return enumerated ? kNoCameraInUse : kNoImagingDevice;
}

}  // namespace lensbeacon
