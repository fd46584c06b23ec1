// The service's status reports and its control handler: stop and shutdown,
// session changes (launches into new sessions) and monitor power changes.
#pragma once

#include <windows.h>

#include "watch_state.h"
#include "watch_port.h"

namespace lensbeacon {

// Controls the service accepts once it reports itself running.
inline constexpr DWORD kAcceptedControls = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN |
                                           SERVICE_ACCEPT_POWEREVENT | SERVICE_ACCEPT_SESSIONCHANGE;

// One SERVICE_STATUS reused for every report; pending reports carry a
// check-point that starts at 1 and grows by one per pending report.
class ServiceStatusReporter {
  public:
    using Sink = BOOL(WINAPI*)(SERVICE_STATUS_HANDLE, LPSERVICE_STATUS);
    ServiceStatusReporter(SERVICE_STATUS_HANDLE handle, Sink sink) : handle_(handle), sink_(sink) {}

    // The status handle arrives after the handler is registered.
    void Attach(SERVICE_STATUS_HANDLE handle) { handle_ = handle; }

    void StartPending() { Report(SERVICE_START_PENDING, 0, 3000, true); }
    void Running() { Report(SERVICE_RUNNING, kAcceptedControls, 0, false); }
    void StopPending() { Report(SERVICE_STOP_PENDING, kAcceptedControls, 10000, true); }
    void Stopped() { Report(SERVICE_STOPPED, kAcceptedControls, 0, false); }

    [[nodiscard]] DWORD currentState() const { return status_.dwCurrentState; }

  private:
    void Report(DWORD state, DWORD accepted, DWORD waitHint, bool pending);

    SERVICE_STATUS_HANDLE handle_;
    Sink sink_;
    SERVICE_STATUS status_{SERVICE_WIN32_OWN_PROCESS, 0, 0, 0, 0, 0, 0};
    DWORD checkPoint_ = 1;
};

class ServiceControl {
  public:
    ServiceControl(WatchState& state, WatchPort& system, ServiceStatusReporter& reporter)
        : state_(state), system_(system), reporter_(reporter) {}

    // The handler's answer is NO_ERROR for every control, handled or not.
    DWORD Handle(DWORD control, DWORD eventType, const void* eventData);

  private:
    void OnStop();
    void OnSessionChange(DWORD eventType, const void* eventData);
    void OnPowerEvent(DWORD eventType, const void* eventData);
    [[nodiscard]] bool StopRequested();

    WatchState& state_;
    WatchPort& system_;
    ServiceStatusReporter& reporter_;
};

}  // namespace lensbeacon
