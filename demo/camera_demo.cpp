// The suite's live demo in Wine, as an administrator deploys it and a person
// meets it: installs the package silently in the default mode, and once the
// service's start-up checks are over, holds a video call the way a current
// PC reports one (the camera powers up and Windows records the program),
// first with the logon-desktop indicator alone, then with the user-desktop
// indicator started as at logon; photographs the indicator, opens the
// settings dialog and photographs it, removes the package silently and shows
// that nothing is left. Every step is printed with its time.
#include <windows.h>

#include <msi.h>
#include <shlobj.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <thread>

#include "camera_use_records_sandbox.h"
#include "indicator_window.h"
#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "lensbeacon/sc_handle.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"
#include "screen_capture.h"
#include "simulated_camera.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace test = lensbeacon::test;

const auto g_start = Clock::now();
constexpr wchar_t kUpgradeCode[] = L"{CDBEB606-86F0-4C32-83AC-A5C7E49B64F3}";
constexpr wchar_t kSettingsWindowClass[] = L"Lensbeacon Control App Class";
constexpr WPARAM kSettingsEscapeCommand = 32771;
// The indicator's default place and size on a 1920 x 1080 screen.
constexpr RECT kIndicatorPlace{896, 9, 896 + 128, 9 + 75};

void Say(const wchar_t* format, ...) {
    const double seconds = std::chrono::duration<double>(Clock::now() - g_start).count();
    std::wprintf(L"[%6.2f s] ", seconds);
    va_list arguments;
    va_start(arguments, format);
    std::vwprintf(format, arguments);
    va_end(arguments);
    std::wprintf(L"\n");
    std::fflush(stdout);
}

std::wstring ShellFolder(int folder) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring InstallFolder() {
    return ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Lensbeacon\\";
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD Msiexec(const std::wstring& arguments) {
    Say(L"msiexec %ls", arguments.c_str());
    const DWORD code = test::RunCommandLine(L"", L"msiexec.exe " + arguments);
    Say(L"msiexec exit code %lu", code);
    return code;
}

bool GlyphShown() {
    return test::IndicatorGlyphIn(test::CaptureScreen(kIndicatorPlace));
}

void SavePicture(const test::ScreenPixels& image, const wchar_t* name, int scale) {
    const std::wstring folder = test::ScreenshotFolder();
    if (!folder.empty() && test::SavePng(image, folder + name, scale)) {
        Say(L"saved %ls%ls", folder.c_str(), name);
    } else {
        Say(L"could not save %ls", name);
    }
}

bool ServiceRegistered() {
    lensbeacon::UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    return manager && lensbeacon::UniqueScHandle(::OpenServiceW(
                          manager.get(), lensbeacon::kServiceName, SERVICE_QUERY_STATUS));
}

bool SettingsKeyPresent() {
    lensbeacon::UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, lensbeacon::kSettingsKey, 0, KEY_READ, key.put()) ==
           ERROR_SUCCESS;
}

bool ShortcutPresent() {
    const wchar_t* name = L"\\Lensbeacon settings.lnk";
    return Exists(ShellFolder(CSIDL_COMMON_PROGRAMS) + name) ||
           Exists(ShellFolder(CSIDL_PROGRAMS) + name);
}

bool ProductInstalled() {
    wchar_t code[39] = {};
    return ::MsiEnumRelatedProductsW(kUpgradeCode, 0, 0, code) == ERROR_SUCCESS;
}

const std::wstring kCallProgram =
    test::CameraUseRecordsSandbox::DesktopAppKey(L"C:\\Program Files\\Meet\\meet.exe");

// A call starts: the camera powers up and Windows records the program. The
// time until `shown` holds, or -1 when it never did.
long long CallStarts(test::SimulatedCamera& camera, test::CameraUseRecordsSandbox& records,
                     bool (*shown)()) {
    Say(L"a call starts: camera powered to D0, Windows records meet.exe as holding it");
    const auto start = Clock::now();
    camera.SetPower(test::CameraPower::D0);
    records.StartUsing(kCallProgram);
    if (!test::WaitUntil(shown, 15s)) {
        Say(L"the indicator did not appear");
        return -1;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    Say(L"INDICATOR ON SCREEN after %lld ms", static_cast<long long>(ms.count()));
    return ms.count();
}

void CallEnds(test::SimulatedCamera& camera, test::CameraUseRecordsSandbox& records,
              bool (*shown)()) {
    Say(L"the call ends: camera powered to D3, the record gets its Stop");
    camera.SetPower(test::CameraPower::D3);
    records.StopUsing(kCallProgram);
    Say(test::WaitUntil([shown] { return !shown(); }, 15s) ? L"indicator gone from the screen"
                                                           : L"the indicator stayed");
}

// Starts the user-desktop indicator as the service's launchers do at logon:
// Plainrun opens it through the shell.
bool StartUserIndicator() {
    const std::wstring plainrun = InstallFolder() + lensbeacon::kUserLauncherFile;
    const std::wstring target = InstallFolder() + lensbeacon::kUserIndicatorFile;
    Say(L"starting the user-desktop indicator as at logon: Plainrun.exe \"=%ls\"", target.c_str());
    test::RunCommandLine(plainrun, L"\"" + plainrun + L"\" \"=" + target + L"\"");
    return test::WaitUntil([] { return test::FindIndicator() != nullptr; }, 15s);
}

const wchar_t* Left(bool present) {
    return present ? L"STILL THERE" : L"gone";
}

// Opens the settings dialog from the installed folder, photographs it once
// its fade-in has ended, and closes it with its Escape command.
bool ShowSettings() {
    const std::wstring program = InstallFolder() + L"Lensdial.exe";
    Say(L"starting %ls", program.c_str());
    lensbeacon::UniqueProcessInformation dialog =
        test::StartCommandLine(program, L"\"" + program + L"\"");
    if (!dialog.process) {
        return false;
    }
    // Open and done fading in: the fade makes the window layered and
    // disabled while it runs.
    HWND window = nullptr;
    const auto settled = [&] {
        window = ::FindWindowW(kSettingsWindowClass, nullptr);
        return window != nullptr && ::IsWindowVisible(window) && ::IsWindowEnabled(window) &&
               (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
    };
    if (!test::WaitUntil(settled, 15s)) {
        Say(L"the settings window did not appear");
        ::TerminateProcess(dialog.process.get(), 1);
        return false;
    }
    Say(L"settings window shown");
    RECT rect{};
    ::GetWindowRect(window, &rect);
    // Its drop shadow lies around the window.
    ::InflateRect(&rect, 16, 16);
    SavePicture(test::CaptureScreen(rect), L"demo-settings.png", 1);
    ::PostMessageW(window, WM_COMMAND, kSettingsEscapeCommand, 0);
    const bool ended = ::WaitForSingleObject(dialog.process.get(), 10000) == WAIT_OBJECT_0;
    if (!ended) {
        Say(L"the settings program did not end");
        ::TerminateProcess(dialog.process.get(), 1);
        return false;
    }
    Say(L"settings window faded out and closed");
    return true;
}

}  // namespace

int wmain() {
    // The simulated camera, idle, and the user's record of camera use, as
    // Windows keeps it.
    test::SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)",
                                 test::CameraPower::D3);
    test::CameraUseRecordsSandbox records;
    const std::wstring package = L"\"" + test::DistPath(L"Lensbeacon.msi") + L"\"";

    Say(L"installing the package silently, default (change-driven) mode");
    if (Msiexec(L"/i " + package + L" /qn") != 0) {
        return 1;
    }
    Say(L"installed into %ls; service registered: %ls", InstallFolder().c_str(),
        ServiceRegistered() ? L"yes" : L"no");
    if (!test::WaitForSuiteEvents(15s) ||
        !test::WaitUntil([] { return test::ProcessRunning(lensbeacon::kLogonIndicatorFile); },
                         15s)) {
        Say(L"the service did not start its indicator");
        return 1;
    }
    Say(L"service running, logon-desktop indicator waiting for the camera");
    Say(L"waiting out the service's ten start-up checks: from now on only a wake-up looks");
    std::this_thread::sleep_for(11s);

    // The logon-desktop indicator first, alone: Wine counts the session as
    // locked there, and it waits up to two seconds for a logon screen.
    const long long logonMs = CallStarts(camera, records, GlyphShown);
    if (logonMs < 0) {
        return 1;
    }
    CallEnds(camera, records, GlyphShown);

    if (!StartUserIndicator()) {
        Say(L"the user-desktop indicator did not start");
        return 1;
    }
    const long long userMs = CallStarts(camera, records, test::IndicatorVisible);
    if (userMs < 0) {
        return 1;
    }
    SavePicture(test::CaptureScreen(
                    RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}),
                L"demo-screen.png", 1);
    SavePicture(test::IndicatorOverGrey(test::CaptureScreen(kIndicatorPlace)),
                L"demo-indicator.png", 4);
    CallEnds(camera, records, test::IndicatorVisible);
    Say(L"CAMERA TO SCREEN: %lld ms on the user's desktop; %lld ms on the logon desktop, "
        L"which includes its two-second wait for a logon screen",
        userMs, logonMs);

    const bool settingsShown = ShowSettings();

    Say(L"removing the package silently");
    if (Msiexec(L"/x " + package + L" /qn") != 0) {
        return 1;
    }
    const bool folder = Exists(InstallFolder());
    const bool service = ServiceRegistered();
    const bool key = SettingsKeyPresent();
    const bool shortcut = ShortcutPresent();
    const bool product = ProductInstalled();
    // The service's stop tells both indicators to end.
    const bool indicator = !test::WaitUntil(
        [] {
            return !test::ProcessRunning(lensbeacon::kLogonIndicatorFile) &&
                   !test::ProcessRunning(lensbeacon::kUserIndicatorFile);
        },
        10s);
    Say(L"left behind: install folder %ls, service %ls, settings key %ls, shortcut %ls, "
        L"product %ls, indicators %ls",
        Left(folder), Left(service), Left(key), Left(shortcut), Left(product), Left(indicator));
    const bool clean = !folder && !service && !key && !shortcut && !product && !indicator;
    return settingsShown && clean ? 0 : 1;
}
