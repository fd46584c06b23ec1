// The real window, module, desktop and shell calls behind StartupPort.
#include <windows.h>
#include <shellapi.h>

#include "hoistrun_startup.h"

namespace lensbeacon {

bool Win32StartupPort::WindowExists(const wchar_t* className, const wchar_t* title) {
    return ::FindWindowW(className, title) != nullptr;
}

bool Win32StartupPort::ModuleFileName(PathBuffer& path) {
    path[0] = L'\0';
    const DWORD length = ::GetModuleFileNameW(nullptr, path, kPathCapacity);
    // A cut path would name the wrong folder.
    return length != 0 && length < kPathCapacity;
}

HDESK Win32StartupPort::ThreadDesktop() {
    return ::GetThreadDesktop(::GetCurrentThreadId());
}

bool Win32StartupPort::DesktopName(HDESK desktop, PathBuffer& name) {
    for (wchar_t& c : name) {
        c = L'\0';
    }
    DWORD needed = 0;
    if (!::GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof(name), &needed)) {
        return false;
    }
    name[kPathCapacity - 1] = L'\0';
    return true;
}

void Win32StartupPort::CloseDesktop(HDESK desktop) {
    ::CloseDesktop(desktop);
}

void Win32StartupPort::OpenWithShell(const wchar_t* file) {
    ::ShellExecuteW(nullptr, nullptr, file, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace lensbeacon
