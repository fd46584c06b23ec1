// Starting the suite's programs inside an interactive session from the
// service (session 0, LocalSystem): the session launcher on the user's desktop
// and the logon-desktop indicator, each under a copy of the service's own
// token moved into the target session.
#pragma once

#include <windows.h>
#include <wtsapi32.h>

#include "lensbeacon/names.h"
#include "lensbeacon/own_folder.h"

namespace lensbeacon {

enum class LaunchKind {
    User,         // "Hoistrun.exe" on "Winsta0\Default", the user's environment
    LogonDesktop  // "Lenspop.exe" on "Winsta0\Winlogon", the service's environment
};

// The session, token, environment and process calls a launch makes; tests
// substitute fakes that count what is obtained and released.
struct SessionPort {
    DWORD(WINAPI* getActiveConsoleSessionId)();
    BOOL(WINAPI* querySessionInformation)(HANDLE, DWORD, WTS_INFO_CLASS, LPWSTR*, DWORD*);
    void(WINAPI* freeMemory)(PVOID);
    BOOL(WINAPI* queryUserToken)(ULONG, PHANDLE);
    BOOL(WINAPI* createEnvironmentBlock)(LPVOID*, HANDLE, BOOL);
    BOOL(WINAPI* destroyEnvironmentBlock)(LPVOID);
    HANDLE(WINAPI* getCurrentProcess)();
    BOOL(WINAPI* openProcessToken)(HANDLE, DWORD, PHANDLE);
    BOOL(WINAPI* duplicateTokenEx)
    (HANDLE, DWORD, LPSECURITY_ATTRIBUTES, SECURITY_IMPERSONATION_LEVEL, TOKEN_TYPE, PHANDLE);
    BOOL(WINAPI* lookupPrivilegeValue)(LPCWSTR, LPCWSTR, PLUID);
    BOOL(WINAPI* adjustTokenPrivileges)
    (HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
    BOOL(WINAPI* setTokenInformation)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD);
    BOOL(WINAPI* createProcessAsUser)
    (HANDLE, LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
     LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION);
    BOOL(WINAPI* closeHandle)(HANDLE);
};
[[nodiscard]] const SessionPort& Win32SessionPort();

struct ConsoleSession {
    DWORD id = 0;             // 0: no console session
    bool userActive = false;  // the session's state is WTSActive
};

class SessionLauncher {
  public:
    // Launches from the folder of the running program. When that folder
    // cannot be read in full, every launch is refused.
    explicit SessionLauncher(const SessionPort& api = Win32SessionPort());

    // Launches from `folder` (ending in a backslash, or empty for bare file
    // names). A folder that does not fit 260 characters refuses every launch.
    SessionLauncher(const SessionPort& api, const wchar_t* folder);

    // The active console session and whether a user is active in it.
    [[nodiscard]] ConsoleSession QueryConsoleSession() const;

    // Starts the program of `kind` in `session`. Remote sessions get nothing.
    // True when the process was created (callers need not look).
    [[nodiscard]] bool Launch(LaunchKind kind, DWORD session) const;

    // The program path and the quoted command line a launch of `kind` uses;
    // false when the folder and file name do not fit.
    [[nodiscard]] bool FormatLaunch(LaunchKind kind, PathBuffer& application,
                                    wchar_t (&commandLine)[kPathCapacity + 2]) const;

  private:
    const SessionPort& api_;
    PathBuffer folder_{};
    bool folderValid_ = false;
};

}  // namespace lensbeacon
