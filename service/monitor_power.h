// Registration for monitor power notifications, so the watch can skip checks
// while the display is dark. User32 is loaded at run time and the register
// function looked up by name: without it nothing is registered and checks are
// never suppressed.
#pragma once

#include <windows.h>

namespace lensbeacon {

class MonitorPowerRegistration {
  public:
    MonitorPowerRegistration() = default;
    ~MonitorPowerRegistration() { Unregister(); }
    MonitorPowerRegistration(const MonitorPowerRegistration&) = delete;
    MonitorPowerRegistration& operator=(const MonitorPowerRegistration&) = delete;

    // Registers `recipient` (a service status handle) for GUID_MONITOR_POWER_ON.
    void Register(HANDLE recipient);
    void Unregister();

  private:
    using RegisterFn = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
    using UnregisterFn = BOOL(WINAPI*)(HPOWERNOTIFY);

    HMODULE user32_ = nullptr;
    RegisterFn register_ = nullptr;
    UnregisterFn unregister_ = nullptr;
    HPOWERNOTIFY notification_ = nullptr;
};

}  // namespace lensbeacon
