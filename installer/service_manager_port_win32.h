// The installer's calls made on the real service control manager, registry
// and debugger.
#pragma once

#include <windows.h>

#include "lensbeacon/sc_handle.h"
#include "service_manager_port.h"

namespace lensbeacon {

class Win32ServiceManagerPort final : public ServiceManagerPort {
  public:
    // `view64` adds KEY_WOW64_64KEY when the services key is opened, so a
    // 32-bit installer on 64-bit Windows reaches the real key.
    explicit Win32ServiceManagerPort(bool view64) : view64_(view64) {}

    [[nodiscard]] DWORD OpenManager() override;
    [[nodiscard]] DWORD OpenExisting() override;
    [[nodiscard]] DWORD RequestStop() override;
    [[nodiscard]] std::optional<DWORD> QueryState() override;
    [[nodiscard]] DWORD Delete() override;
    [[nodiscard]] DWORD Create(const wchar_t* binaryPathName) override;
    [[nodiscard]] DWORD Start() override;
    [[nodiscard]] DWORD SetFailureActions(const SERVICE_FAILURE_ACTIONSW& actions) override;
    void CloseAll() override;
    void DeleteServiceKey() override;
    void Wait(DWORD milliseconds) override;
    void WriteDebugLine(const wchar_t* line) override;

  private:
    const bool view64_;
    UniqueScHandle manager_;
    UniqueScHandle service_;
};

}  // namespace lensbeacon
