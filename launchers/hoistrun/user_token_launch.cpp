#include "user_token_launch.h"

#include <cwchar>
#include <iterator>

#include "lensbeacon/api_owner.h"
#include "lensbeacon/names.h"

namespace lensbeacon {
namespace {

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOW) == 68, "the 32-bit STARTUPINFOW");
#endif

// A handle obtained through the api, closed through it once.
using ApiHandle = ApiOwner<UserLaunchPort, HANDLE, &UserLaunchPort::CloseHandle, IsNoHandle>;
// An environment block obtained through the api, destroyed through it once.
using ApiEnvironment = ApiOwner<UserLaunchPort, void*, &UserLaunchPort::DestroyEnvironmentBlock>;

}  // namespace

bool LaunchAsConsoleUser(UserLaunchPort& api, const wchar_t* applicationName,
                         wchar_t* commandLine) {
    if (applicationName == nullptr || commandLine == nullptr) {
        return false;
    }
    // The startup record names the desktop through a writable string.
    wchar_t desktop[std::size(kUserDesktop)];
    std::wmemcpy(desktop, kUserDesktop, std::size(kUserDesktop));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION process = {};

    const DWORD sessionId = api.ActiveConsoleSessionId();
    ApiHandle userToken(api);
    if (!api.QueryUserToken(sessionId, *userToken.put())) {
        return false;
    }
    ApiHandle primaryToken(api);
    const bool duplicated = api.DuplicatePrimaryToken(userToken.get(), *primaryToken.put());
    // The user token is not needed past the copy, whether or not it was made.
    userToken.reset();
    if (!duplicated) {
        return false;
    }

    ApiEnvironment environment(api);
    void* block = nullptr;
    if (api.CreateEnvironmentBlock(primaryToken.get(), block)) {
        environment.reset(block);
    }
    // Otherwise go on without: the child receives this process's environment.

    const bool created =
        api.CreateProcessAsUser(primaryToken.get(), applicationName, commandLine,
                                kLaunchCreationFlags, environment.get(), startup, process);
    // The child is not waited for: whatever handles came back go at once.
    const ApiHandle processHandle(api, process.hProcess);
    const ApiHandle threadHandle(api, process.hThread);
    return created;
}

}  // namespace lensbeacon
