#include "service_manager_port_win32.h"

#include <shlwapi.h>

#include "lensbeacon/unique_owner.h"
#include "service_identity.h"

namespace lensbeacon {
namespace {

// SC_MANAGER_ALL_ACCESS for the manager; for the service the same mask, which
// holds query, stop and delete.
constexpr DWORD kManagerAccess = 0xF003F;
constexpr DWORD kOpenServiceAccess = 0xF003F;

// Takes a handle just returned by an API into `owner`, with the error code of
// that call when it failed.
DWORD Keep(SC_HANDLE handle, UniqueScHandle& owner) {
    const DWORD error = handle != nullptr ? ERROR_SUCCESS : ::GetLastError();
    owner.reset(handle);
    return error;
}

DWORD Result(BOOL succeeded) {
    return succeeded ? ERROR_SUCCESS : ::GetLastError();
}

}  // namespace

DWORD Win32ServiceManagerPort::OpenManager() {
    return Keep(::OpenSCManagerW(nullptr, nullptr, kManagerAccess), manager_);
}

DWORD Win32ServiceManagerPort::OpenExisting() {
    if (!manager_) {
        return ERROR_INVALID_HANDLE;
    }
    return Keep(::OpenServiceW(manager_.get(), kServiceName, kOpenServiceAccess), service_);
}

DWORD Win32ServiceManagerPort::RequestStop() {
    if (!service_) {
        return ERROR_INVALID_HANDLE;
    }
    SERVICE_STATUS status{};
    return Result(::ControlService(service_.get(), SERVICE_CONTROL_STOP, &status));
}

std::optional<DWORD> Win32ServiceManagerPort::QueryState() {
    if (!service_) {
        return std::nullopt;
    }
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    const DWORD error =
        Result(::QueryServiceStatusEx(service_.get(), SC_STATUS_PROCESS_INFO,
                                      reinterpret_cast<BYTE*>(&status), sizeof(status), &needed));
    if (error != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return status.dwCurrentState;
}

DWORD Win32ServiceManagerPort::Delete() {
    if (!service_) {
        return ERROR_INVALID_HANDLE;
    }
    return Result(::DeleteService(service_.get()));
}

DWORD Win32ServiceManagerPort::Create(const wchar_t* binaryPathName) {
    if (!manager_) {
        return ERROR_INVALID_HANDLE;
    }
    // No group, tag, dependencies or account: the service runs as LocalSystem.
    // SERVICE_ALL_ACCESS holds what the installer does with the new handle:
    // SERVICE_CHANGE_CONFIG for the failure actions, SERVICE_START for the
    // start and for the restart action among them, query and stop.
    return Keep(
        ::CreateServiceW(manager_.get(), kServiceName, kServiceDisplayName, SERVICE_ALL_ACCESS,
                         SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                         binaryPathName, nullptr, nullptr, nullptr, nullptr, nullptr),
        service_);
}

DWORD Win32ServiceManagerPort::Start() {
    if (!service_) {
        return ERROR_INVALID_HANDLE;
    }
    return Result(::StartServiceW(service_.get(), 0, nullptr));
}

DWORD Win32ServiceManagerPort::SetFailureActions(const SERVICE_FAILURE_ACTIONSW& actions) {
    if (!service_) {
        return ERROR_INVALID_HANDLE;
    }
    // The call takes a non-const pointer; it reads the copy and leaves it.
    SERVICE_FAILURE_ACTIONSW copy = actions;
    return Result(::ChangeServiceConfig2W(service_.get(), SERVICE_CONFIG_FAILURE_ACTIONS, &copy));
}

void Win32ServiceManagerPort::CloseAll() {
    service_.reset();
    manager_.reset();
}

void Win32ServiceManagerPort::DeleteServiceKey() {
    UniqueRegKey services;
    const REGSAM access = KEY_ALL_ACCESS | (view64_ ? KEY_WOW64_64KEY : 0);
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServicesKey, 0, access, services.put()) ==
        ERROR_SUCCESS) {
        // Nothing there is the usual case; other failures change nothing either.
        ::SHDeleteKeyW(services.get(), kServiceName);
    }
}

void Win32ServiceManagerPort::Wait(DWORD milliseconds) {
    ::Sleep(milliseconds);
}

void Win32ServiceManagerPort::WriteDebugLine(const wchar_t* line) {
    ::OutputDebugStringW(line);
}

}  // namespace lensbeacon
