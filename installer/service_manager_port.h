// The service-manager, registry and debugger calls the installer makes,
// behind an interface so the installer's sequence can run against a fake.
// The implementation holds at most one manager handle and one service handle.
#pragma once

#include <windows.h>

#include <optional>

namespace lensbeacon {

class ServiceManagerPort {
  public:
    virtual ~ServiceManagerPort() = default;

    // Each returns ERROR_SUCCESS, or the system error code of the failed call.
    [[nodiscard]] virtual DWORD OpenManager() = 0;   // local, default database
    [[nodiscard]] virtual DWORD OpenExisting() = 0;  // the camera-watch service
    [[nodiscard]] virtual DWORD RequestStop() = 0;   // stop control
    // SERVICE_STOPPED, ...; none when the state could not be read.
    [[nodiscard]] virtual std::optional<DWORD> QueryState() = 0;
    [[nodiscard]] virtual DWORD Delete() = 0;                               // the open service
    [[nodiscard]] virtual DWORD Create(const wchar_t* binaryPathName) = 0;  // opens the new service
    [[nodiscard]] virtual DWORD Start() = 0;                                // the open service
    // What the manager does when the open service ends abnormally
    // (ChangeServiceConfig2W, SERVICE_CONFIG_FAILURE_ACTIONS). `actions` and
    // what it points to are read during the call only.
    [[nodiscard]] virtual DWORD SetFailureActions(const SERVICE_FAILURE_ACTIONSW& actions) = 0;

    // Closes the service handle, then the manager handle, where open.
    virtual void CloseAll() = 0;
    // Removes the service's registry key with everything below it, if any.
    virtual void DeleteServiceKey() = 0;
    virtual void Wait(DWORD milliseconds) = 0;
    virtual void WriteDebugLine(const wchar_t* line) = 0;
};

}  // namespace lensbeacon
