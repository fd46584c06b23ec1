// The suite's live demo in Wine, as an administrator deploys it: installs
// the package silently, powers a simulated camera on, waits for the
// indicator on the screen and photographs it, powers the camera off, opens
// the settings dialog and photographs it, removes the package silently and
// shows that nothing is left. Every step is printed with its time.
#include <windows.h>

#include <msi.h>
#include <shlobj.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <string>

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
    // The simulated camera: an imaging device on a USB port, idle.
    test::SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)",
                                 test::CameraPower::D3);
    const std::wstring package = L"\"" + test::DistPath(L"Lensbeacon.msi") + L"\"";

    Say(L"installing the package silently, USB camera check on");
    if (Msiexec(L"/i " + package + L" /qn CHECKUSBCAMERA=1") != 0) {
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
    Say(L"service running, indicator program waiting for the camera");

    Say(L"simulated camera powered to D0 (streaming)");
    const auto cameraOn = Clock::now();
    camera.SetPower(test::CameraPower::D0);
    if (!test::WaitUntil(GlyphShown, 15s)) {
        Say(L"the indicator did not appear");
        return 1;
    }
    const auto latency =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - cameraOn);
    Say(L"INDICATOR ON SCREEN: the camera took %lld ms to reach the screen",
        static_cast<long long>(latency.count()));
    SavePicture(test::CaptureScreen(
                    RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}),
                L"demo-screen.png", 1);
    SavePicture(test::IndicatorOverGrey(test::CaptureScreen(kIndicatorPlace)),
                L"demo-indicator.png", 4);

    Say(L"simulated camera powered to D3 (idle)");
    camera.SetPower(test::CameraPower::D3);
    Say(test::WaitUntil([] { return !GlyphShown(); }, 15s) ? L"indicator gone from the screen"
                                                           : L"the indicator stayed");

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
    const bool indicator = test::ProcessRunning(lensbeacon::kLogonIndicatorFile);
    Say(L"left behind: install folder %ls, service %ls, settings key %ls, shortcut %ls, "
        L"product %ls, indicator %ls",
        Left(folder), Left(service), Left(key), Left(shortcut), Left(product), Left(indicator));
    const bool clean = !folder && !service && !key && !shortcut && !product && !indicator;
    return settingsShown && clean ? 0 : 1;
}
