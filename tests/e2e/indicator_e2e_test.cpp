// The real indicator, LenspopUI, on the user's desktop: driven by the real
// service and a simulated camera, or by stand-in events, and read back from
// the screen.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "indicator_window.h"
#include "installed_suite.h"
#include "probe_programs.h"
#include "lensbeacon/names.h"
#include "lensbeacon/position_store.h"
#include "pointer_input.h"
#include "registry_sandbox.h"
#include "screen_capture.h"
#include "stand_in_events.h"
#include "simulated_camera.h"

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

// Generous bounds for a loaded machine; latencies are measured in bench/.
constexpr auto kAppear = 10s;
constexpr DWORD kCameraNoticeMs = 5000;
constexpr int kWidth = 128;
constexpr int kHeight = 75;
// Default place on a 1920 x 1080 screen: centred, 9 pixels from the top.
constexpr int kDefaultX = 896;
constexpr int kDefaultY = 9;
constexpr wchar_t kHotkeyMessageName[] = L"ACPI Notification through Tapwarden from BIOS";

HWND FindFrame() {
    return ::FindWindowW(nullptr, L"Lenspop MainFrm Window");
}

UniqueProcessInformation StartProgram(const std::wstring& program) {
    return StartCommandLine(program, L"\"" + program + L"\"");
}

ScreenPixels CaptureIndicator() {
    RECT rect{};
    EXPECT_TRUE(::GetWindowRect(FindIndicator(), &rect));
    return CaptureScreen(rect);
}

// The caption band is white at alpha 1: on a screen that ignores alpha it
// reads as (1, 1, 1), where the transparent window reads as black.
constexpr std::uint32_t kCaptionBand = 0x010101;

bool CaptionDrawn() {
    const ScreenPixels image = CaptureIndicator();
    return image.width == kWidth && PixelsOf(kCaptionBand, image, 0, 61, 30, kHeight) > 0;
}

// The close button's "X", drawn once the pointer has been over the glyph.
bool CloseButtonDrawn() {
    const ScreenPixels image = CaptureIndicator();
    return image.width == kWidth && BrightPixels(image, 94, 15, 110, 31) > 0;
}

// Whether the glyph is drawn at full strength: while it is dragged, it is
// drawn at 7/10, which leaves no channel above 0xF0.
bool DrawnAtFullStrength() {
    const ScreenPixels image = CaptureIndicator();
    if (image.width != kWidth) {
        return false;
    }
    for (int y = 0; y < 60; ++y) {
        for (int x = 34; x < 94; ++x) {
            if ((image.At(x, y) & 0xFF) > 0xF0) {
                return true;
            }
        }
    }
    return false;
}

using UniqueWindow = UniqueOwner<HWND, ::DestroyWindow>;

class IndicatorEndToEnd : public ::testing::Test {
  protected:
    void TearDown() override {
        if (indicator.process) {
            ::TerminateProcess(indicator.process.get(), 1);
            ::WaitForSingleObject(indicator.process.get(), 5000);
        }
    }

    void StartIndicator() {
        indicator = StartProgram(suite.folder() + L"LenspopUI.exe");
        ASSERT_TRUE(indicator.process);
        ASSERT_TRUE(WaitUntil([] { return FindIndicator() != nullptr; }, kAppear))
            << "the indicator window was not created";
    }

    RegistrySandbox settings{kSettingsKey};
    InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe", L"LenspopUI.exe", L"Lensmemo.dll"};
    UniqueProcessInformation indicator;
};

TEST_F(IndicatorEndToEnd, ShowsWhileTheCameraIsOnAndEndsWithTheService) {
    settings.SetDword(kCheckUsbCameraValue, 1);
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)", CameraPower::D3);
    ASSERT_EQ(suite.Installer(L"-i"), 0u);
    ASSERT_TRUE(WaitForSuiteEvents(15s));
    UniqueHandle on = OpenSuiteEvent(kOnEventName);
    UniqueHandle off = OpenSuiteEvent(kOffEventName);
    ASSERT_TRUE(on && off);
    StartIndicator();
    EXPECT_FALSE(IndicatorVisible()) << "shown while the camera is off";

    camera.SetPower(CameraPower::D0);
    ASSERT_TRUE(Signaled(on.get(), kCameraNoticeMs));
    ASSERT_TRUE(WaitUntil(IndicatorVisible, kAppear)) << "not shown with the camera on";

    HWND window = FindIndicator();
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, kDefaultX);
    EXPECT_EQ(rect.top, kDefaultY);
    EXPECT_EQ(rect.right - rect.left, kWidth);
    EXPECT_EQ(rect.bottom - rect.top, kHeight);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)) & WS_POPUP, WS_POPUP);

    // The glyph and the caption, read back from the screen.
    const ScreenPixels shown = CaptureIndicator();
    ASSERT_EQ(shown.width, kWidth);
    EXPECT_GT(BrightPixels(shown, 34, 0, 94, 60), 1200) << "no white glyph";
    EXPECT_LT(BrightPixels(shown, 34, 0, 94, 60), 3400) << "no camera cut out of the square";
    EXPECT_EQ(BrightPixels(shown, 0, 0, 34, 52), 0) << "ink left of the glyph";
    EXPECT_EQ(PixelsOf(kCaptionBand, shown, 0, 61, 30, kHeight), 30 * (kHeight - 61))
        << "no caption band";
    EXPECT_GT(BrightPixels(shown, 0, 60, kWidth, kHeight), 10) << "no caption text";
    const std::wstring pictures = ScreenshotFolder();
    if (!pictures.empty()) {
        EXPECT_TRUE(SavePng(IndicatorOverGrey(shown), pictures + L"indicator_shown.png", 4));
    }

    // The caption goes after two seconds; the glyph stays.
    EXPECT_TRUE(WaitUntil([] { return !CaptionDrawn(); }, 6s)) << "the caption stayed";
    const ScreenPixels glyphOnly = CaptureIndicator();
    EXPECT_GT(BrightPixels(glyphOnly, 34, 0, 94, 60), 1200);
    if (!pictures.empty()) {
        EXPECT_TRUE(SavePng(IndicatorOverGrey(glyphOnly), pictures + L"indicator_glyph.png", 4));
    }

    camera.SetPower(CameraPower::D3);
    ASSERT_TRUE(Signaled(off.get(), kCameraNoticeMs));
    // The fade takes three 41 ms steps; the bound is for a loaded machine,
    // and the time it really takes is measured in bench/.
    EXPECT_TRUE(WaitUntil([] { return !IndicatorVisible(); }, 3s)) << "did not fade out";

    // Stopping the service ends the indicator.
    EXPECT_EQ(suite.Installer(L"-u"), 0u);
    EXPECT_EQ(::WaitForSingleObject(indicator.process.get(), 5000), WAIT_OBJECT_0)
        << "the indicator outlived the service";
}

TEST_F(IndicatorEndToEnd, OneInstancePerDesktopHotkeyAndNoCloseFromOutside) {
    StandInEvents events;
    StartIndicator();
    HWND frame = FindFrame();
    ASSERT_NE(frame, nullptr);

    // A second start on the same desktop ends at once; the first runs on.
    EXPECT_EQ(RunProgram(suite.folder() + L"LenspopUI.exe", L""), 0u);
    EXPECT_EQ(::WaitForSingleObject(indicator.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_NE(FindIndicator(), nullptr);

    // The firmware hotkey asks the service to look again, with wParam 235 only.
    const UINT hotkey = ::RegisterWindowMessageW(kHotkeyMessageName);
    ASSERT_NE(hotkey, 0u);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(frame, hotkey, 234, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_FALSE(Signaled(events[EventId::Change]));
    ASSERT_TRUE(::SendMessageTimeoutW(frame, hotkey, 235, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_TRUE(Signaled(events[EventId::Change]));

    // Nobody closes the indicator window from outside.
    ASSERT_TRUE(::SendMessageTimeoutW(FindIndicator(), WM_CLOSE, 0, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_NE(FindIndicator(), nullptr);
    events.CameraOn();
    EXPECT_TRUE(WaitUntil(IndicatorVisible, kAppear));

    // Clicks on the glyph and on the close button leave the keyboard with
    // the program in front, here a window of the test's own, away from the
    // indicator; the close button hides the indicator.
    UniqueWindow working(::CreateWindowExW(0, L"STATIC", L"Working",
                                           WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 300, 400, 300,
                                           nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(working);
    ASSERT_TRUE(::SetForegroundWindow(working.get()));
    ASSERT_EQ(::GetForegroundWindow(), working.get());
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(FindIndicator(), &rect));
    ASSERT_TRUE(MoveTo(rect.left + 64, rect.top + 30));
    ASSERT_TRUE(WaitUntil(CloseButtonDrawn, 5s)) << "no close button over the glyph";
    ASSERT_TRUE(ClickAt(rect.left + 64, rect.top + 30));

    // A drag by the glyph moves the indicator, and takes no keyboard either.
    // Step by step, as a hand moves: the window follows each step.
    const RECT start = rect;
    const auto followsTo = [&rect](int left, int top) {
        return WaitUntil(
            [&] {
                return ::GetWindowRect(FindIndicator(), &rect) && rect.left == left &&
                       rect.top == top;
            },
            5s);
    };
    ASSERT_TRUE(PressAt(start.left + 64, start.top + 30));
    for (int step = 1; step <= 4; ++step) {
        ASSERT_TRUE(MoveTo(start.left + 64 + 25 * step, start.top + 30 + 50 * step));
        EXPECT_TRUE(followsTo(start.left + 25 * step, start.top + 50 * step))
            << "at " << rect.left << ", " << rect.top << " after step " << step;
    }
    ASSERT_TRUE(ReleaseAt(start.left + 164, start.top + 230));
    // Let go, it is drawn at full strength again, where the button was let go.
    EXPECT_TRUE(WaitUntil(DrawnAtFullStrength, 5s)) << "still drawn as dragged";
    ASSERT_TRUE(::GetWindowRect(FindIndicator(), &rect));
    EXPECT_EQ(rect.left, start.left + 100);
    EXPECT_EQ(rect.top, start.top + 200);
    EXPECT_EQ(::GetForegroundWindow(), working.get()) << "a drag took the keyboard";

    ASSERT_TRUE(PressAt(rect.left + 101, rect.top + 22));
    // The button drawn pressed, dark: this press, and the click before it,
    // went through.
    EXPECT_TRUE(WaitUntil([] { return !CloseButtonDrawn(); }, 5s)) << "not drawn pressed";
    EXPECT_EQ(::GetForegroundWindow(), working.get()) << "a click took the keyboard";
    ASSERT_TRUE(ReleaseAt(rect.left + 101, rect.top + 22));
    EXPECT_TRUE(WaitUntil([] { return !IndicatorVisible(); }, 3s)) << "the close button failed";

    // The Service event ends the program.
    ASSERT_TRUE(::SetEvent(events[EventId::Service]));
    EXPECT_EQ(::WaitForSingleObject(indicator.process.get(), 5000), WAIT_OBJECT_0);
    DWORD exitCode = ~0u;
    EXPECT_TRUE(::GetExitCodeProcess(indicator.process.get(), &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(IndicatorEndToEnd, UsesTheStoredPositionClampedToTheMargins) {
    StandInEvents events;
    UniqueModule library(::LoadLibraryW((suite.folder() + L"Lensmemo.dll").c_str()));
    ASSERT_TRUE(library);
    auto set = reinterpret_cast<SetPositionInformationFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), kSetPositionInformationExport)));
    ASSERT_NE(set, nullptr);
    ASSERT_TRUE(set(5, 3, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));

    StartIndicator();
    events.CameraOn();
    ASSERT_TRUE(WaitUntil(IndicatorVisible, kAppear));
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(FindIndicator(), &rect));
    EXPECT_EQ(rect.left, 11);
    EXPECT_EQ(rect.top, 9);
}

// Whether a process of this image name runs in the prefix (the service's
// session launch starts it where this test cannot look for its windows).
bool ProgramRunning(const wchar_t* imageName) {
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    if (!snapshot || !::Process32FirstW(snapshot.get(), &entry)) {
        return false;
    }
    do {
        if (::lstrcmpiW(entry.szExeFile, imageName) == 0) {
            return true;
        }
    } while (::Process32NextW(snapshot.get(), &entry));
    return false;
}

// The logon-desktop instance lives on a desktop of the service's window
// station, out of this test's reach, but Wine draws every desktop on the
// one X screen: its glyph is read there, at the default place.
bool GlyphOnScreenAtDefaultPlace() {
    const ScreenPixels image =
        CaptureScreen(RECT{kDefaultX, kDefaultY, kDefaultX + kWidth, kDefaultY + kHeight});
    return IndicatorGlyphIn(image);
}

TEST(LogonDesktopIndicator, TheServiceStartsItAndItFollowsTheCamera) {
    RegistrySandbox settings{kSettingsKey};
    settings.SetDword(kCheckUsbCameraValue, 1);
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)", CameraPower::D3);
    InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe", L"Lenspop.exe", L"Lensmemo.dll"};
    ASSERT_FALSE(GlyphOnScreenAtDefaultPlace()) << "an earlier indicator is still shown";
    ASSERT_EQ(suite.Installer(L"-i"), 0u);
    ASSERT_TRUE(WaitUntil([] { return ProgramRunning(L"Lenspop.exe"); }, kAppear))
        << "the service started no logon-desktop indicator";

    // The session counts as locked there (its desktop takes the input), so
    // the indicator shows, after waiting up to two seconds for a logon
    // screen that Wine does not have.
    camera.SetPower(CameraPower::D0);
    EXPECT_TRUE(WaitUntil(GlyphOnScreenAtDefaultPlace, kAppear));
    camera.SetPower(CameraPower::D3);
    EXPECT_TRUE(WaitUntil([] { return !GlyphOnScreenAtDefaultPlace(); }, kAppear));

    EXPECT_EQ(suite.Installer(L"-u"), 0u);
    EXPECT_TRUE(WaitUntil([] { return !ProgramRunning(L"Lenspop.exe"); }, kAppear))
        << "the logon-desktop indicator outlived the service";
}

TEST(IndicatorWithoutPositionStore, ShowsAtTheDefaultPlace) {
    StandInEvents events;
    InstalledSuite suite{L"LenspopUI.exe"};
    ASSERT_TRUE(::DeleteFileW((suite.folder() + L"Lensmemo.dll").c_str()) ||
                ::GetLastError() == ERROR_FILE_NOT_FOUND);
    UniqueProcessInformation indicator = StartProgram(suite.folder() + L"LenspopUI.exe");
    ASSERT_TRUE(indicator.process);
    ASSERT_TRUE(WaitUntil([] { return FindIndicator() != nullptr; }, kAppear));
    events.CameraOn();
    EXPECT_TRUE(WaitUntil(IndicatorVisible, kAppear));
    RECT rect{};
    EXPECT_TRUE(::GetWindowRect(FindIndicator(), &rect));
    EXPECT_EQ(rect.left, kDefaultX);
    EXPECT_EQ(rect.top, kDefaultY);
    ASSERT_TRUE(::SetEvent(events[EventId::Service]));
    EXPECT_EQ(::WaitForSingleObject(indicator.process.get(), 5000), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace lensbeacon::test
