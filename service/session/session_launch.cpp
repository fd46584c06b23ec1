#include "session_launch.h"

#include <cstring>
#include <cwchar>

#include "lensbeacon/api_owner.h"
#include "lensbeacon/bounded_text.h"

namespace lensbeacon {
namespace {

constexpr DWORD kNoConsoleSession = 0xFFFFFFFF;

void CloseSessionHandle(const SessionPort& api, HANDLE handle) {
    api.closeHandle(handle);
}
void DestroySessionEnvironment(const SessionPort& api, LPVOID block) {
    api.destroyEnvironmentBlock(block);
}

// A handle obtained through the session calls, closed through them once.
using ApiHandle = ApiOwner<const SessionPort, HANDLE, CloseSessionHandle, IsNoHandle>;
// An environment block from the session calls, destroyed through them once.
using ApiEnvironment = ApiOwner<const SessionPort, LPVOID, DestroySessionEnvironment>;

// The logged-on user's environment in `session`; empty when no user is logged
// on there or the block cannot be made.
ApiEnvironment UserEnvironment(const SessionPort& api, DWORD session) {
    ApiEnvironment environment(api);
    ApiHandle userToken(api);
    if (!api.queryUserToken(session, userToken.put())) {
        return environment;
    }
    // Whatever a failed call left behind is neither used nor destroyed: the
    // program then gets the service's own environment.
    LPVOID block = nullptr;
    if (api.createEnvironmentBlock(&block, userToken.get(), FALSE)) {
        environment.reset(block);
    }
    return environment;
}

// One fixed-size item of session information; false when the query fails or
// returns fewer bytes than the item needs. The buffer is always freed.
template <typename Value>
bool QuerySessionValue(const SessionPort& api, DWORD session, WTS_INFO_CLASS infoClass,
                       Value& value) {
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!api.querySessionInformation(WTS_CURRENT_SERVER_HANDLE, session, infoClass, &buffer,
                                     &bytes)) {
        return false;
    }
    const bool complete = buffer != nullptr && bytes >= sizeof(Value);
    if (complete) {
        std::memcpy(&value, buffer, sizeof(Value));
    }
    if (buffer != nullptr) {
        api.freeMemory(buffer);
    }
    return complete;
}

// Remote sessions (a client protocol other than the console's 0) never get a
// launch. A session whose protocol cannot be read is taken as local.
bool IsRemoteSession(const SessionPort& api, DWORD session) {
    USHORT protocol = 0;
    return QuerySessionValue(api, session, WTSClientProtocolType, protocol) && protocol != 0;
}

// A primary copy of the service's own token, with the TCB privilege enabled,
// moved into `session`. Empty for remote sessions and on any failure; moving
// the token is refused unless the service holds the TCB privilege.
ApiHandle SessionToken(const SessionPort& api, DWORD session) {
    ApiHandle token(api);
    if (IsRemoteSession(api, session)) {
        return token;
    }
    ApiHandle processToken(api);
    if (!api.openProcessToken(api.getCurrentProcess(), TOKEN_ALL_ACCESS, processToken.put())) {
        return token;
    }
    if (!api.duplicateTokenEx(processToken.get(), TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation,
                              TokenPrimary, token.put())) {
        token.reset();
        return token;
    }
    processToken.reset();

    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!api.lookupPrivilegeValue(nullptr, SE_TCB_NAME, &privileges.Privileges[0].Luid) ||
        !api.adjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
        token.reset();
        return token;
    }
    DWORD sessionId = session;
    if (!api.setTokenInformation(token.get(), TokenSessionId, &sessionId, sizeof(sessionId))) {
        token.reset();
    }
    return token;
}

}  // namespace

SessionLauncher::SessionLauncher(const SessionPort& api, const wchar_t* folder) : api_(api) {
    const std::size_t length = folder != nullptr ? std::wcslen(folder) : 0;
    folderValid_ = length < kPathCapacity;
    if (folderValid_ && length > 0) {
        std::wmemcpy(folder_, folder, length);
    }
    folder_[folderValid_ ? length : 0] = L'\0';
}

ConsoleSession SessionLauncher::QueryConsoleSession() const {
    ConsoleSession console;
    const DWORD id = api_.getActiveConsoleSessionId();
    if (id == kNoConsoleSession) {
        return console;
    }
    console.id = id;
    DWORD state = 0;
    console.userActive = QuerySessionValue(api_, id, WTSConnectState, state) && state == WTSActive;
    return console;
}

bool SessionLauncher::FormatLaunch(LaunchKind kind, PathBuffer& application,
                                   wchar_t (&commandLine)[kPathCapacity + 2]) const {
    commandLine[0] = L'\0';
    const wchar_t* file = kind == LaunchKind::User ? kSessionLauncherFile : kLogonIndicatorFile;
    if (!folderValid_ || !JoinPath(folder_, file, application)) {
        return false;
    }
    // The path is both the application name and, in quotes, the command
    // line: a folder with blanks cannot be resolved to a planted program
    // such as C:\Program.exe.
    return BoundedText(commandLine).Append(L'"').Append(application).Append(L'"').ok();
}

bool SessionLauncher::Launch(LaunchKind kind, DWORD session) const {
    const ApiEnvironment environment =
        kind == LaunchKind::User ? UserEnvironment(api_, session) : ApiEnvironment(api_);
    ApiHandle token = SessionToken(api_, session);
    if (!token) {
        return false;
    }
    PathBuffer application;
    wchar_t commandLine[kPathCapacity + 2];
    if (!FormatLaunch(kind, application, commandLine)) {
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
#ifndef _WIN64
    static_assert(sizeof(STARTUPINFOW) == 68, "the 32-bit STARTUPINFOW");
#endif
    startup.lpDesktop = const_cast<LPWSTR>(kind == LaunchKind::User ? kUserDesktop : kLogonDesktop);
    PROCESS_INFORMATION process{};
    const BOOL created = api_.createProcessAsUser(token.get(), application, commandLine, nullptr,
                                                  nullptr, FALSE, kLaunchCreationFlags,
                                                  environment.get(), nullptr, &startup, &process);
    if (created) {
        // Nobody waits for or tracks the started program.
        const ApiHandle processHandle(api_, process.hProcess);
        const ApiHandle threadHandle(api_, process.hThread);
    }
    return created != FALSE;
}

}  // namespace lensbeacon
