// Registration for monitor power notifications, so the watch can skip checks
// while the display is dark. User32 is loaded at run time and the register
// function looked up by name: without it nothing is registered and checks are
// never suppressed.
#pragma once

#include <windows.h>

#include "lensbeacon/api_owner.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

class MonitorPowerRegistration {
  public:
    MonitorPowerRegistration() = default;
    ~MonitorPowerRegistration() { Unregister(); }
    MonitorPowerRegistration(const MonitorPowerRegistration&) = delete;
    MonitorPowerRegistration& operator=(const MonitorPowerRegistration&) = delete;

    // Registers `recipient` (a service status handle) for GUID_MONITOR_POWER_ON.
    void Register(HANDLE recipient);
    // Ends the registration, then lets go of user32.
    void Unregister();

  private:
    using RegisterFn = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
    using UnregisterFn = BOOL(WINAPI*)(HPOWERNOTIFY);
    static void CallUnregister(const UnregisterFn& unregister, HPOWERNOTIFY notification) {
        if (unregister != nullptr) {
            unregister(notification);
        }
    }

    UniqueModule user32_;
    RegisterFn register_ = nullptr;
    UnregisterFn unregister_ = nullptr;
    // Ended through the unregister function found beside the register one.
    ApiOwner<const UnregisterFn, HPOWERNOTIFY, CallUnregister> notification_{unregister_};
};

}  // namespace lensbeacon
