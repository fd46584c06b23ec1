// The real session, token, environment and process calls behind the launcher.
#include <windows.h>
#include <userenv.h>
#include <wtsapi32.h>

#include "session_launch.h"

namespace lensbeacon {
namespace {

const SessionApi kRealSessionApi = {
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

const SessionApi& RealSessionApi() {
    return kRealSessionApi;
}

}  // namespace lensbeacon
