// The real session, token, environment and process calls behind the launcher.
#include <windows.h>
#include <userenv.h>
#include <wtsapi32.h>

#include "lensbeacon/own_folder.h"
#include "session_launch.h"

namespace lensbeacon {
namespace {

const SessionPort kRealSessionApi = {
    ::WTSGetActiveConsoleSessionId,
    ::WTSQuerySessionInformationW,
    ::WTSFreeMemory,
    ::WTSQueryUserToken,
    ::CreateEnvironmentBlock,
    ::DestroyEnvironmentBlock,
    ::GetCurrentProcess,
    ::OpenProcessToken,
    ::DuplicateTokenEx,
    ::LookupPrivilegeValueW,
    ::AdjustTokenPrivileges,
    ::SetTokenInformation,
    ::CreateProcessAsUserW,
    ::CloseHandle,
};

}  // namespace

const SessionPort& Win32SessionPort() {
    return kRealSessionApi;
}

// Reading the program's own folder is a system call, so this constructor
// lives with the adapter; the launcher itself is plain code.
SessionLauncher::SessionLauncher(const SessionPort& api) : api_(api) {
    folderValid_ = OwnFolder(nullptr, folder_);
}

}  // namespace lensbeacon
