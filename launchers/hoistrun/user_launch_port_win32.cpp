// The real session, token, environment and process calls behind
// UserLaunchPort, made exactly as the launch needs them.
#include <windows.h>
#include <userenv.h>
#include <wtsapi32.h>

#include "user_token_launch.h"

namespace lensbeacon {

DWORD Win32UserLaunchPort::ActiveConsoleSessionId() {
    return ::WTSGetActiveConsoleSessionId();
}

bool Win32UserLaunchPort::QueryUserToken(DWORD sessionId, HANDLE& token) {
    return ::WTSQueryUserToken(sessionId, &token) != FALSE;
}

bool Win32UserLaunchPort::DuplicatePrimaryToken(HANDLE token, HANDLE& primaryToken) {
    return ::DuplicateTokenEx(token, MAXIMUM_ALLOWED, nullptr, SecurityIdentification, TokenPrimary,
                              &primaryToken) != FALSE;
}

bool Win32UserLaunchPort::CreateEnvironmentBlock(HANDLE token, void*& environment) {
    return ::CreateEnvironmentBlock(&environment, token, FALSE) != FALSE;
}

void Win32UserLaunchPort::DestroyEnvironmentBlock(void* environment) {
    ::DestroyEnvironmentBlock(environment);
}

bool Win32UserLaunchPort::CreateProcessAsUser(HANDLE token, const wchar_t* applicationName,
                                              wchar_t* commandLine, DWORD creationFlags,
                                              void* environment, STARTUPINFOW& startup,
                                              PROCESS_INFORMATION& process) {
    return ::CreateProcessAsUserW(token, applicationName, commandLine, nullptr, nullptr, FALSE,
                                  creationFlags, environment, nullptr, &startup, &process) != FALSE;
}

void Win32UserLaunchPort::CloseHandle(HANDLE handle) {
    ::CloseHandle(handle);
}

}  // namespace lensbeacon
