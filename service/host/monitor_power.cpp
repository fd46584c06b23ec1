#include "monitor_power.h"

#include "lensbeacon/proc_address.h"
#include "monitor_power_guid.h"

namespace lensbeacon {

void MonitorPowerRegistration::Register(HANDLE recipient) {
    if (!user32_) {
        user32_.reset(::LoadLibraryW(L"User32.dll"));
        if (!user32_) {
            return;
        }
    }
    register_ = ProcAddress<RegisterFn>(user32_.get(), "RegisterPowerSettingNotification");
    unregister_ = ProcAddress<UnregisterFn>(user32_.get(), "UnregisterPowerSettingNotification");
    if (register_ == nullptr) {
        return;
    }
    notification_.reset(register_(recipient, &kMonitorPowerOn, DEVICE_NOTIFY_SERVICE_HANDLE));
}

void MonitorPowerRegistration::Unregister() {
    notification_.reset();
    register_ = nullptr;
    unregister_ = nullptr;
    user32_.reset();
}

}  // namespace lensbeacon
