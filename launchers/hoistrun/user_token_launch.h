// Starting a program in the console session under the logged-on user's own
// token, with the user's environment. The session, token and process calls go
// through UserLaunchPort so the sequence and its clean-up can be checked with a
// fake; Win32UserLaunchPort makes the real calls.
#pragma once

#include <windows.h>

namespace lensbeacon {

class UserLaunchPort {
  public:
    virtual ~UserLaunchPort() = default;

    // WTSGetActiveConsoleSessionId.
    [[nodiscard]] virtual DWORD ActiveConsoleSessionId() = 0;
    // WTSQueryUserToken.
    [[nodiscard]] virtual bool QueryUserToken(DWORD sessionId, HANDLE& token) = 0;
    // DuplicateTokenEx: MAXIMUM_ALLOWED, no security attributes,
    // SecurityIdentification, TokenPrimary.
    [[nodiscard]] virtual bool DuplicatePrimaryToken(HANDLE token, HANDLE& primaryToken) = 0;
    // CreateEnvironmentBlock without inheriting the caller's environment.
    [[nodiscard]] virtual bool CreateEnvironmentBlock(HANDLE token, void*& environment) = 0;
    virtual void DestroyEnvironmentBlock(void* environment) = 0;
    // CreateProcessAsUserW without security attributes or inherited handles,
    // in the inherited current directory.
    [[nodiscard]] virtual bool CreateProcessAsUser(HANDLE token, const wchar_t* applicationName,
                                                   wchar_t* commandLine, DWORD creationFlags,
                                                   void* environment, STARTUPINFOW& startup,
                                                   PROCESS_INFORMATION& process) = 0;
    virtual void CloseHandle(HANDLE handle) = 0;
};

// Starts `applicationName` with `commandLine` (both required) on
// "Winsta0\Default" under a primary copy of the console user's token. A
// missing environment block does not stop the launch: the child then gets
// this process's environment. Every token, environment block and process or
// thread handle obtained is released before returning, on every path; the
// child is not waited for. True when the process was created.
[[nodiscard]] bool LaunchAsConsoleUser(UserLaunchPort& api, const wchar_t* applicationName,
                                       wchar_t* commandLine);

class Win32UserLaunchPort final : public UserLaunchPort {
  public:
    [[nodiscard]] DWORD ActiveConsoleSessionId() override;
    [[nodiscard]] bool QueryUserToken(DWORD sessionId, HANDLE& token) override;
    [[nodiscard]] bool DuplicatePrimaryToken(HANDLE token, HANDLE& primaryToken) override;
    [[nodiscard]] bool CreateEnvironmentBlock(HANDLE token, void*& environment) override;
    void DestroyEnvironmentBlock(void* environment) override;
    [[nodiscard]] bool CreateProcessAsUser(HANDLE token, const wchar_t* applicationName,
                                           wchar_t* commandLine, DWORD creationFlags,
                                           void* environment, STARTUPINFOW& startup,
                                           PROCESS_INFORMATION& process) override;
    void CloseHandle(HANDLE handle) override;
};

}  // namespace lensbeacon
