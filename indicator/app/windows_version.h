// The Windows versions the logon-desktop mode tells apart, and the test
// whether the logon screen has finished drawing its own window, before which
// an indicator shown there would be covered.
#pragma once

#include <windows.h>

namespace lensbeacon::indicator {

// Set once at start-up; all FALSE when the version could not be read.
struct WindowsVersion {
    BOOL v10 = FALSE;  // 10 or later
    BOOL v62 = FALSE;  // 6.2 (Windows 8) or later
    BOOL v61 = FALSE;  // 6.1 (Windows 7) or later
};

// The three flags for a major and minor version number.
[[nodiscard]] WindowsVersion VersionFlags(DWORD major, DWORD minor) noexcept;

// Reads the running system's version (GetVersionExW, which reports the real
// version only to a program whose manifest lists it). A failed read sets no
// flag.
[[nodiscard]] WindowsVersion DetectWindowsVersion();

// Finds windows by class name, with any title.
class WindowFinderPort {
  public:
    virtual ~WindowFinderPort() = default;
    // A top-level window of that class, or null (FindWindowW).
    [[nodiscard]] virtual HWND FindTopLevel(const wchar_t* className) = 0;
    // The first child of `parent` of that class, or null (FindWindowExW).
    [[nodiscard]] virtual HWND FindChild(HWND parent, const wchar_t* className) = 0;
};

// The logon screen's window classes by version, and the child it draws into.
inline constexpr const wchar_t* kLogonWindowClass10 = L"LogonUI Logon Window";
inline constexpr const wchar_t* kLogonWindowClass61 = L"AUTHUI.DLL: LogonUI Logon Window";
inline constexpr const wchar_t* kLogonContentClass = L"DirectUIHWND";

// TRUE once the logon screen's window exists with its content child. Before
// Windows 7 there is nothing to wait for, and the answer is TRUE at once.
[[nodiscard]] BOOL IsLogonUIReady(const WindowsVersion& version, WindowFinderPort& finder);

// The same with the real window calls.
[[nodiscard]] BOOL IsLogonUIReady(const WindowsVersion& version);

}  // namespace lensbeacon::indicator
