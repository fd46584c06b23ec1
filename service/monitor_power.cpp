#include "monitor_power.h"

#include "lensbeacon/proc_address.h"

namespace lensbeacon {
namespace {

// GUID_MONITOR_POWER_ON {02731015-4510-4526-99e6-e5a17ebd1aea}
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

}  // namespace

void MonitorPowerRegistration::Register(HANDLE recipient) {
    if (user32_ == nullptr) {
        user32_ = ::LoadLibraryW(L"User32.dll");
        if (user32_ == nullptr) {
            return;
        }
    }
    register_ = ProcAddress<RegisterFn>(user32_, "RegisterPowerSettingNotification");
    unregister_ = ProcAddress<UnregisterFn>(user32_, "UnregisterPowerSettingNotification");
    if (register_ == nullptr) {
        return;
    }
    notification_ = register_(recipient, &kMonitorPowerOn, DEVICE_NOTIFY_SERVICE_HANDLE);
}

void MonitorPowerRegistration::Unregister() {
    if (notification_ != nullptr) {
        if (unregister_ != nullptr) {
            unregister_(notification_);
        }
        notification_ = nullptr;
    }
    if (user32_ != nullptr) {
        register_ = nullptr;
        unregister_ = nullptr;
        ::FreeLibrary(user32_);
        user32_ = nullptr;
    }
}

}  // namespace lensbeacon
