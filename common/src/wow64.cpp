#include "lensbeacon/wow64.h"

#include <windows.h>

#include "lensbeacon/proc_address.h"

namespace lensbeacon {

bool RunningUnderWow64() {
    // Looked up by name: the oldest systems the suite runs on lack it.
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process =
        ProcAddress<IsWow64ProcessFunction>(::GetModuleHandleW(L"kernel32"), "IsWow64Process");
    BOOL wow64 = FALSE;
    if (isWow64Process == nullptr || !isWow64Process(::GetCurrentProcess(), &wow64)) {
        return false;
    }
    return wow64 != FALSE;
}

}  // namespace lensbeacon
