// Hoistrun's run: leave at once when an indicator already shows; otherwise
// start the indicator for the desktop this process is on. The window, module,
// desktop and shell calls go through StartupPort, the session launch through
// UserLaunchPort, so every branch can be checked with fakes.
#pragma once

#include <windows.h>

#include "lensbeacon/names.h"
#include "lensbeacon/own_folder.h"
#include "user_token_launch.h"

namespace lensbeacon {

class StartupPort {
  public:
    virtual ~StartupPort() = default;

    // FindWindowW found a top-level window of that class and title.
    [[nodiscard]] virtual bool WindowExists(const wchar_t* className, const wchar_t* title) = 0;
    // GetModuleFileNameW of this program; false when it fails or is cut.
    [[nodiscard]] virtual bool ModuleFileName(PathBuffer& path) = 0;
    // GetThreadDesktop(GetCurrentThreadId()); null when there is none.
    virtual HDESK ThreadDesktop() = 0;
    // GetUserObjectInformationW(UOI_NAME) into a zero-filled buffer, 520
    // bytes; the result is terminated.
    [[nodiscard]] virtual bool DesktopName(HDESK desktop, PathBuffer& name) = 0;
    // CloseDesktop. For the thread's own desktop the system refuses it while
    // the thread uses that desktop, so the handle stays usable.
    virtual void CloseDesktop(HDESK desktop) = 0;
    // ShellExecuteW with no owner, the default verb, no parameters or
    // directory, SW_SHOWNORMAL; the outcome is not reported.
    virtual void OpenWithShell(const wchar_t* file) = 0;
};

// True only for a desktop whose name is exactly "Winlogon".
[[nodiscard]] bool IsLogonDesktop(StartupPort& startup);

// Runs Hoistrun once and returns its exit code, which is always 0.
int RunHoistrun(StartupPort& startup, UserLaunchPort& launch);

class Win32StartupPort final : public StartupPort {
  public:
    [[nodiscard]] bool WindowExists(const wchar_t* className, const wchar_t* title) override;
    [[nodiscard]] bool ModuleFileName(PathBuffer& path) override;
    HDESK ThreadDesktop() override;
    [[nodiscard]] bool DesktopName(HDESK desktop, PathBuffer& name) override;
    void CloseDesktop(HDESK desktop) override;
    void OpenWithShell(const wchar_t* file) override;
};

}  // namespace lensbeacon
