// Version flags and the logon-screen readiness test, with their Win32 calls.
#include "windows_version.h"

namespace lensbeacon::indicator {
namespace {

class Win32WindowFinderPort final : public WindowFinderPort {
  public:
    HWND FindTopLevel(const wchar_t* className) override {
        return ::FindWindowW(className, nullptr);
    }
    HWND FindChild(HWND parent, const wchar_t* className) override {
        return ::FindWindowExW(parent, nullptr, className, nullptr);
    }
};

}  // namespace

WindowsVersion VersionFlags(DWORD major, DWORD minor) noexcept {
    WindowsVersion version;
    version.v10 = major >= 10 ? TRUE : FALSE;
    version.v62 = (major >= 7 || (major == 6 && minor >= 2)) ? TRUE : FALSE;
    version.v61 = (version.v62 || (major == 6 && minor == 1)) ? TRUE : FALSE;
    return version;
}

WindowsVersion DetectWindowsVersion() {
    OSVERSIONINFOW info = {};
    static_assert(sizeof(info) == 276);
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExW(&info)) {
        return WindowsVersion{};
    }
    return VersionFlags(info.dwMajorVersion, info.dwMinorVersion);
}

BOOL IsLogonUIReady(const WindowsVersion& version, WindowFinderPort& finder) {
    const wchar_t* className = nullptr;
    if (version.v10) {
        className = kLogonWindowClass10;
    } else if (version.v62 || version.v61) {
        className = kLogonWindowClass61;
    } else {
        return TRUE;
    }
    const HWND logon = finder.FindTopLevel(className);
    if (logon == nullptr) {
        return FALSE;
    }
    return finder.FindChild(logon, kLogonContentClass) != nullptr ? TRUE : FALSE;
}

BOOL IsLogonUIReady(const WindowsVersion& version) {
    Win32WindowFinderPort finder;
    return IsLogonUIReady(version, finder);
}

}  // namespace lensbeacon::indicator
