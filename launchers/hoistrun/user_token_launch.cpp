#include "user_token_launch.h"

#include <cwchar>
#include <iterator>
#include <utility>

namespace lensbeacon {
namespace {

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOW) == 68, "the 32-bit STARTUPINFOW");
#endif

// Owns one handle obtained through the api and closes it through the api,
// once. Null and INVALID_HANDLE_VALUE count as empty.
class ApiHandle {
  public:
    explicit ApiHandle(UserLaunchApi& api, HANDLE handle = nullptr) : api_(api), handle_(handle) {}
    ~ApiHandle() { reset(); }
    ApiHandle(const ApiHandle&) = delete;
    ApiHandle& operator=(const ApiHandle&) = delete;

    HANDLE get() const { return handle_; }
    HANDLE& slot() { return handle_; }
    void reset() {
        HANDLE handle = std::exchange(handle_, nullptr);
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            api_.CloseHandle(handle);
        }
    }

  private:
    UserLaunchApi& api_;
    HANDLE handle_;
};

// Owns an environment block and destroys it through the api, once.
class ApiEnvironment {
  public:
    explicit ApiEnvironment(UserLaunchApi& api) : api_(api) {}
    ~ApiEnvironment() {
        if (block_ != nullptr) {
            api_.DestroyEnvironmentBlock(block_);
        }
    }
    ApiEnvironment(const ApiEnvironment&) = delete;
    ApiEnvironment& operator=(const ApiEnvironment&) = delete;

    void* get() const { return block_; }
    void*& slot() { return block_; }

  private:
    UserLaunchApi& api_;
    void* block_ = nullptr;
};

}  // namespace

bool LaunchAsConsoleUser(UserLaunchApi& api, const wchar_t* applicationName, wchar_t* commandLine) {
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
    if (!api.QueryUserToken(sessionId, userToken.slot())) {
        return false;
    }
    ApiHandle primaryToken(api);
    const bool duplicated = api.DuplicatePrimaryToken(userToken.get(), primaryToken.slot());
    // The user token is not needed past the copy, whether or not it was made.
    userToken.reset();
    if (!duplicated) {
        return false;
    }

    ApiEnvironment environment(api);
    if (!api.CreateEnvironmentBlock(primaryToken.get(), environment.slot())) {
        // Go on without: the child receives this process's environment.
        environment.slot() = nullptr;
    }

    const bool created =
        api.CreateProcessAsUser(primaryToken.get(), applicationName, commandLine,
                                kUserLaunchCreationFlags, environment.get(), startup, process);
    // The child is not waited for: whatever handles came back go at once.
    ApiHandle processHandle(api, process.hProcess);
    ApiHandle threadHandle(api, process.hThread);
    return created;
}

}  // namespace lensbeacon
