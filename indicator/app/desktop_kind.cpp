// The desktop test: the thread's desktop, its name, and the name rule.
#include "desktop_kind.h"

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {

bool IsOrdinaryDesktopName(const wchar_t* name) noexcept {
    return !IsLogonDesktopName(name);
}

BOOL IsOrdinaryDesktop() {
    // The system refuses to close a desktop the thread still uses, so the
    // owner's CloseDesktop leaves the thread's desktop intact.
    const UniqueDesktop desktop(::GetThreadDesktop(::GetCurrentThreadId()));
    if (!desktop) {
        return TRUE;
    }
    wchar_t name[MAX_PATH] = {};
    DWORD needed = 0;
    if (!::GetUserObjectInformationW(desktop.get(), UOI_NAME, name, sizeof(name), &needed)) {
        return TRUE;
    }
    name[MAX_PATH - 1] = L'\0';
    return IsOrdinaryDesktopName(name) ? TRUE : FALSE;
}

}  // namespace lensbeacon::indicator
