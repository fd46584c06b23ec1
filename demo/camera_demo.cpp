// The suite's live demo in Wine, as an administrator deploys it and a person
// meets it on an ordinary Windows 11 laptop: its camera is a USB device of
// the Camera class on the root hub, idling in D2. The demo installs the
// package silently in the default mode, and once the service's start-up
// checks are over, holds a video call the way such a PC reports one: a
// calling program runs, the camera powers up to D0 and Windows records the
// program as holding it; at the end the camera idles in D2 again, the record
// gets its Stop and the program ends. The call is held first with the
// logon-desktop indicator alone, then with the user-desktop indicator started
// as at logon. The demo photographs the indicator and the screen, opens the
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

#include "calling_program.h"
#include "camera_use_records_sandbox.h"
#include "indicator_window.h"
#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "lensbeacon/sc_handle.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"
#include "screen_capture.h"
#include "simulated_camera.h"
#include "simulated_usb_hub.h"

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
// The laptop's camera: a USB composite device on the root hub of the PC's
// USB controller.
constexpr wchar_t kRootHubLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)";
constexpr wchar_t kCameraLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(5)#USBMI(0)";
// The program that holds the camera during the call.
constexpr wchar_t kCallProgramPath[] = L"C:\\Program Files\\Contoso Meet\\meet.exe";

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

// The part of `image` (a capture from the screen's top left corner) inside
// `area`; empty when `area` does not lie within it.
test::ScreenPixels Cut(const test::ScreenPixels& image, const RECT& area) {
    test::ScreenPixels part;
    if (area.left < 0 || area.top < 0 || area.right > image.width || area.bottom > image.height ||
        area.right <= area.left || area.bottom <= area.top) {
        return part;
    }
    part.width = area.right - area.left;
    part.height = area.bottom - area.top;
    part.pixels.reserve(static_cast<std::size_t>(part.width) *
                        static_cast<std::size_t>(part.height));
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            part.pixels.push_back(image.At(x, y));
        }
    }
    return part;
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

// The user-desktop indicator's window is shown and its glyph has reached the
// screen. The window is visible a moment before Wine has drawn it, so a
// picture taken at once can still be black.
bool UserIndicatorOnScreen() {
    return test::IndicatorVisible() && GlyphShown();
}

// A call starts: meet.exe, which already runs, opens the camera, so the
// camera powers up to D0 and Windows records meet.exe as holding it. The
// time until `shown` holds, or -1 when it never did.
long long CallStarts(test::SimulatedCamera& camera, test::CameraUseRecordsSandbox& records,
                     const test::CallingProgram& caller, bool (*shown)()) {
    Say(L"a call starts: camera powered D2 -> D0, Windows records meet.exe as holding it");
    const auto start = Clock::now();
    camera.SetPower(test::CameraPower::D0);
    records.StartUsing(caller.RecordKey());
    if (!test::WaitUntil(shown, 15s)) {
        Say(L"the indicator did not appear");
        return -1;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    Say(L"INDICATOR ON SCREEN after %lld ms", static_cast<long long>(ms.count()));
    return ms.count();
}

// The call ends: the camera idles in D2 again and the record gets its Stop;
// once the indicator has gone, meet.exe ends. False when the indicator stayed.
bool CallEnds(test::SimulatedCamera& camera, test::CameraUseRecordsSandbox& records,
              test::CallingProgram& caller, bool (*shown)()) {
    Say(L"the call ends: camera powered D0 -> D2, the record gets its Stop");
    camera.SetPower(test::CameraPower::D2);
    records.StopUsing(caller.RecordKey());
    const bool gone = test::WaitUntil([shown] { return !shown(); }, 15s);
    Say(gone ? L"indicator gone from the screen" : L"the indicator stayed");
    caller.Kill();
    Say(L"meet.exe ended");
    return gone;
}

// Whether meet.exe, started for a call, runs; says which.
bool CallerRuns(const test::CallingProgram& caller) {
    if (!caller.Running()) {
        Say(L"%ls did not start", caller.path().c_str());
        return false;
    }
    Say(L"meet.exe runs: %ls", caller.path().c_str());
    return true;
}

// Runs the installed Lenscheck during the call, its text straight into the
// demo's own output, and says its answer.
void ShowTheCheck() {
    const std::wstring program = InstallFolder() + L"Lenscheck.exe";
    Say(L"what Lenscheck.exe says during the call:");
    std::fflush(stdout);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                          nullptr, &startup, &started)) {
        Say(L"Lenscheck.exe did not start (error %lu)", ::GetLastError());
        return;
    }
    lensbeacon::UniqueProcessInformation process;
    process.adopt(started);
    DWORD code = ~0u;
    if (::WaitForSingleObject(process.process.get(), 60000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.process.get(), &code)) {
        Say(L"Lenscheck.exe did not end");
        return;
    }
    Say(L"Lenscheck.exe exit code %lu (1: a camera in use)", code);
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
    // The laptop's camera on the root hub, idle in D2 as USB selective
    // suspend leaves it, and the user's record of camera use, as Windows
    // keeps it.
    test::SimulatedUsbHub rootHub(0, kRootHubLocation);
    test::SimulatedCamera camera(0, kCameraLocation, test::CameraPower::D2,
                                 test::CameraKind::CameraClass);
    test::CameraUseRecordsSandbox records;
    const std::wstring package = L"\"" + test::DistPath(L"Lensbeacon.msi") + L"\"";

    Say(L"the PC: a USB camera of the Camera class at %ls, on the root hub, idle in D2",
        kCameraLocation);
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
    long long logonMs = -1;
    bool callsEnded = false;
    {
        test::CallingProgram caller(kCallProgramPath);
        if (!CallerRuns(caller)) {
            return 1;
        }
        logonMs = CallStarts(camera, records, caller, GlyphShown);
        if (logonMs < 0) {
            return 1;
        }
        callsEnded = CallEnds(camera, records, caller, GlyphShown);
    }

    if (!StartUserIndicator()) {
        Say(L"the user-desktop indicator did not start");
        return 1;
    }
    long long userMs = -1;
    bool pictured = false;
    {
        test::CallingProgram caller(kCallProgramPath);
        if (!CallerRuns(caller)) {
            return 1;
        }
        userMs = CallStarts(camera, records, caller, UserIndicatorOnScreen);
        if (userMs < 0) {
            return 1;
        }
        // One picture of the whole screen; the indicator's is cut from it, so
        // the two show the same moment.
        const test::ScreenPixels screen = test::CaptureScreen(
            RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
        const test::ScreenPixels indicator = Cut(screen, kIndicatorPlace);
        pictured = test::IndicatorGlyphIn(indicator);
        Say(pictured ? L"the picture of the screen shows the indicator's glyph"
                     : L"the picture of the screen does NOT show the indicator's glyph");
        SavePicture(screen, L"demo-screen.png", 1);
        SavePicture(test::IndicatorOverGrey(indicator), L"demo-indicator.png", 4);
        ShowTheCheck();
        callsEnded = CallEnds(camera, records, caller, test::IndicatorVisible) && callsEnded;
    }
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
    return callsEnded && pictured && settingsShown && clean ? 0 : 1;
}
