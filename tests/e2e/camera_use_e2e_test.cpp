// A camera session as a person has it on a current PC: the real service, in
// either watch mode, woken by Windows' record of camera use in the user's
// hive, with the real indicator on the user's desktop naming the programs
// that hold the camera, in its tooltip and to screen readers. The simulated
// camera stands for the device, which still decides on or off.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "accessibility_probe.h"
#include "calling_program.h"
#include "camera_use_records_sandbox.h"
#include "indicator_window.h"
#include "installed_suite.h"
#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/names.h"
#include "probe_programs.h"
#include "registry_sandbox.h"
#include "screen_capture.h"
#include "simulated_camera.h"
#include "simulated_usb_hub.h"

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

// Generous bounds for a loaded machine; latencies are measured in bench/.
constexpr DWORD kCameraNoticeMs = 5000;
constexpr auto kAppear = 10s;
const std::wstring kMeet = CameraUseRecordsSandbox::DesktopAppKey(L"C:\\Tools\\meet.exe");
// An integrated laptop camera: a USB function on the root hub.
constexpr wchar_t kRootHubLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)";
constexpr wchar_t kLaptopCameraLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(5)#USBMI(0)";
constexpr wchar_t kCallerPath[] = L"C:\\Program Files\\Contoso Meet\\meet.exe";

class CameraUseEndToEnd : public ::testing::Test {
  protected:
    void TearDown() override {
        if (indicator.process) {
            ::TerminateProcess(indicator.process.get(), 1);
            ::WaitForSingleObject(indicator.process.get(), 5000);
        }
    }

    void InstallAndShowIndicator() {
        ASSERT_EQ(suite.Installer(L"-i"), 0u);
        ASSERT_TRUE(WaitForSuiteEvents(15s)) << "the service created no events";
        on = OpenSuiteEvent(kOnEventName);
        off = OpenSuiteEvent(kOffEventName);
        ASSERT_TRUE(on && off);
        const std::wstring program = suite.folder() + L"LenspopUI.exe";
        indicator = StartCommandLine(program, L"\"" + program + L"\"");
        ASSERT_TRUE(indicator.process);
        ASSERT_TRUE(WaitUntil([] { return FindIndicator() != nullptr; }, kAppear));
    }

    // A call starts: the device powers up and Windows records the program.
    void SessionStartsAndIsShown() {
        camera.SetPower(CameraPower::D0);
        records.StartUsing(kMeet);
        ASSERT_TRUE(Signaled(on.get(), kCameraNoticeMs)) << "the record woke no check";
        EXPECT_TRUE(WaitUntil(IndicatorVisible, kAppear)) << "not shown with the camera on";
    }

    // A call on an integrated USB camera of the Camera class, idle in D2 under
    // the root hub: it shows while the calling program runs, and goes when
    // the program dies without writing its Stop.
    void LaptopCallShowsWhileItsProgramRuns() {
        SimulatedUsbHub hub(0, kRootHubLocation);
        SimulatedCamera laptop(1, kLaptopCameraLocation, CameraPower::D2, CameraKind::CameraClass);
        InstallAndShowIndicator();
        CallingProgram caller(kCallerPath);
        laptop.SetPower(CameraPower::D0);
        records.StartUsing(caller.RecordKey());
        ASSERT_TRUE(Signaled(on.get(), kCameraNoticeMs)) << "the live record backed up nothing";
        EXPECT_TRUE(WaitUntil(IndicatorVisible, kAppear)) << "not shown during the call";

        // The program crashes; its record stays held and the camera stays
        // powered, as a driver may leave it.
        caller.Kill();
        ASSERT_TRUE(Signaled(off.get(), kCameraNoticeMs)) << "a stale record kept the camera on";
        EXPECT_TRUE(WaitUntil([] { return !IndicatorVisible(); }, kAppear)) << "stayed shown";

        // Power data no driver should write: the service runs on.
        laptop.SetPowerData({1, 2, 3});
        SessionStartsAndIsShown();
        SessionEndsAndIsHidden();
        UniqueHandle process = suite.ServiceProcess();
        ASSERT_TRUE(process);
        EXPECT_FALSE(Signaled(process.get()));
    }

    // The call ends: the device powers down and the record gets its Stop.
    void SessionEndsAndIsHidden() {
        camera.SetPower(CameraPower::D3);
        records.StopUsing(kMeet);
        ASSERT_TRUE(Signaled(off.get(), kCameraNoticeMs)) << "the record's Stop woke no check";
        EXPECT_TRUE(WaitUntil([] { return !IndicatorVisible(); }, kAppear)) << "stayed shown";
    }

    RegistrySandbox settings{kSettingsKey};
    // The user's records exist before the service starts, as on a PC.
    CameraUseRecordsSandbox records;
    SimulatedCamera camera{0, L"PCIROOT(0)#PCI(1400)", CameraPower::D3};
    InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe", L"LenspopUI.exe", L"Lensmemo.dll"};
    UniqueProcessInformation indicator;
    UniqueHandle on;
    UniqueHandle off;
};

TEST_F(CameraUseEndToEnd, ChangeDrivenWatchSeesASessionLongAfterTheStartBurst) {
    InstallAndShowIndicator();
    // The ten-second start burst shows nowhere outside the service, so this
    // waits it out.
    std::this_thread::sleep_for(11s);

    // Without a record, a camera that powers up is not looked at.
    camera.SetPower(CameraPower::D0);
    EXPECT_FALSE(Signaled(on.get(), 2000)) << "looked at the camera without a wake-up";
    camera.SetPower(CameraPower::D3);

    SessionStartsAndIsShown();
    SessionEndsAndIsHidden();
    // A second call is seen as well.
    SessionStartsAndIsShown();
    SessionEndsAndIsHidden();
}

TEST_F(CameraUseEndToEnd, LaptopCameraInTheDefaultModeFollowsTheLiveCaller) {
    LaptopCallShowsWhileItsProgramRuns();
}

TEST_F(CameraUseEndToEnd, LaptopCameraInUsbWatchModeFollowsTheLiveCaller) {
    settings.SetDword(kCheckUsbCameraValue, 1);
    LaptopCallShowsWhileItsProgramRuns();
}

TEST_F(CameraUseEndToEnd, AForgedStopDoesNotHideACameraOnByItsDevice) {
    InstallAndShowIndicator();
    SessionStartsAndIsShown();
    // Any program running as the user can write a Stop: the camera on no
    // hub in D0 stays on.
    records.StopUsing(kMeet);
    EXPECT_FALSE(Signaled(off.get(), 3000)) << "a forged Stop hid the camera";
    EXPECT_TRUE(IndicatorVisible());
    SessionEndsAndIsHidden();
}

TEST_F(CameraUseEndToEnd, UsbWatchTakesRecordsBesideTheTraceAndSurvivesMalformedOnes) {
    settings.SetDword(kCheckUsbCameraValue, 1);
    InstallAndShowIndicator();
    SessionStartsAndIsShown();
    SessionEndsAndIsHidden();

    // Records any program could write: times as text, three- and
    // sixteen-byte values, a Start without a Stop, a Stop without a Start.
    records.SetRaw(L"C:#text.exe", kLastUsedStartValue, REG_SZ, L"1234", 10);
    const unsigned char three[3] = {1, 2, 3};
    records.SetRaw(L"C:#short.exe", kLastUsedStartValue, REG_QWORD, three, 3);
    records.SetRaw(L"C:#short.exe", kLastUsedStopValue, REG_BINARY, three, 3);
    const ULONGLONG sixteen[2] = {5, 6};
    records.SetRaw(L"C:#long.exe", kLastUsedStartValue, REG_QWORD, sixteen, sizeof(sixteen));
    records.StartUsing(L"Stuck.App_0000000000000", true);
    const ULONGLONG stop = 7;
    records.SetRaw(L"C:#stoponly.exe", kLastUsedStopValue, REG_QWORD, &stop, sizeof(stop));

    // The service runs on and still follows the camera; the stuck record
    // only keeps it looking every second.
    SessionStartsAndIsShown();
    SessionEndsAndIsHidden();
    UniqueHandle process = suite.ServiceProcess();
    ASSERT_TRUE(process);
    EXPECT_FALSE(Signaled(process.get()));
}

// The indicator over a grey desktop with its tooltip beside it, as a person
// sees them: the indicator composited from its premultiplied pixels, the
// tooltip as it is.
ScreenPixels IndicatorWithToolTip(HWND indicator, HWND tooltip) {
    RECT glyph{};
    RECT tip{};
    RECT both{};
    if (!::GetWindowRect(indicator, &glyph) || !::GetWindowRect(tooltip, &tip) ||
        !::UnionRect(&both, &glyph, &tip)) {
        return {};
    }
    ScreenPixels picture;
    picture.width = both.right - both.left;
    picture.height = both.bottom - both.top;
    picture.pixels.assign(static_cast<std::size_t>(picture.width * picture.height), 0x808080);
    const auto paste = [&](const ScreenPixels& part, const RECT& at) {
        for (int y = 0; y < part.height; ++y) {
            for (int x = 0; x < part.width; ++x) {
                picture.pixels[static_cast<std::size_t>((at.top - both.top + y) * picture.width +
                                                        at.left - both.left + x)] = part.At(x, y);
            }
        }
    };
    paste(IndicatorOverGrey(CaptureScreen(glyph)), glyph);
    paste(CaptureScreen(tip), tip);
    return picture;
}

TEST_F(CameraUseEndToEnd, TheIndicatorNamesTheProgramsToScreenReadersAndInTheToolTip) {
    // A desktop program that started a minute ago, and a packaged app since.
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG recent = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const ULONGLONG earlier = recent - 600'000'000ULL;
    const std::wstring program =
        CameraUseRecordsSandbox::DesktopAppKey(suite.folder() + L"LenspopUI.exe");
    records.SetRaw(program, kLastUsedStartValue, REG_QWORD, &earlier, sizeof(earlier));
    const std::wstring app = L"Microsoft.WindowsCamera_8wekyb3d8bbwe";
    records.SetRaw(app, kLastUsedStartValue, REG_QWORD, &recent, sizeof(recent), true);
    // Names are given only for programs that run: the app runs from its
    // package folder, and the desktop program is the indicator itself.
    CallingProgram cameraApp(
        L"C:\\Program Files\\WindowsApps\\"
        L"Microsoft.WindowsCamera_2024.2410.0.0_x86__8wekyb3d8bbwe\\"
        L"WindowsCamera.exe");
    const std::wstring stale = L"C:#Tools#crashed.exe";
    records.SetRaw(stale, kLastUsedStartValue, REG_QWORD, &recent, sizeof(recent));
    InstallAndShowIndicator();
    HWND window = FindIndicator();
    WinEventRecorder heard(EVENT_SYSTEM_ALERT, EVENT_OBJECT_NAMECHANGE,
                           ::GetProcessId(indicator.process.get()));
    ASSERT_TRUE(heard.Hooked());

    // The camera comes on: an alert, whose object names the programs, most
    // recent first. The indicator shows at once, naming the desktop program
    // by its file name until its file description has been read, which the
    // object may already give by the time it is heard; the description
    // follows with a name change.
    camera.SetPower(CameraPower::D0);
    const WinEventRecorder::Event* alert = heard.WaitFor(EVENT_SYSTEM_ALERT, window, 10000);
    ASSERT_NE(alert, nullptr) << "no alert when the indicator showed";
    const std::wstring expected = L"Camera on: WindowsCamera, Show Lensbeacon";
    EXPECT_THAT(alert->object.name,
                ::testing::AnyOf(L"Camera on: WindowsCamera, LenspopUI", expected));
    EXPECT_EQ(alert->object.role, ROLE_SYSTEM_ALERT);
    EXPECT_NE(heard.WaitForNamed(EVENT_OBJECT_NAMECHANGE, window, expected, 10000), nullptr)
        << "the file description never followed";
    EXPECT_EQ(ClientAccessible(window).name, expected);
    // The tooltip is made only when the pointer first comes to the glyph.
    EXPECT_EQ(ToolTipOf(window), nullptr);

    // The pointer resting on the glyph brings the tooltip, with the names.
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(window, &rect));
    ASSERT_TRUE(::SetCursorPos(rect.left + 60, rect.top + 25));
    HWND tooltip = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&tooltip, window] {
            tooltip = ToolTipOf(window);
            return tooltip != nullptr && ::IsWindowVisible(tooltip) != FALSE;
        },
        10s))
        << "no tooltip over the glyph";
    EXPECT_EQ(ToolTipText(tooltip), expected);
    const std::wstring pictures = ScreenshotFolder();
    if (!pictures.empty()) {
        EXPECT_TRUE(
            SavePng(IndicatorWithToolTip(window, tooltip), pictures + L"indicator_tooltip.png", 2));
    }
    ASSERT_TRUE(::SetCursorPos(10, 1000));

    // The app lets the camera go while the program keeps it: the name follows.
    const ULONGLONG stop = recent + 1;
    heard.Clear();
    records.SetRaw(app, kLastUsedStopValue, REG_QWORD, &stop, sizeof(stop), true);
    EXPECT_NE(heard.WaitFor(EVENT_OBJECT_NAMECHANGE, window, 10000), nullptr);
    EXPECT_EQ(ClientAccessible(window).name, L"Camera on: Show Lensbeacon");

    // Off: hidden and silent.
    heard.Clear();
    camera.SetPower(CameraPower::D3);
    ASSERT_TRUE(Signaled(off.get(), kCameraNoticeMs));
    ASSERT_TRUE(WaitUntil([] { return !IndicatorVisible(); }, kAppear));
    EXPECT_EQ(heard.WaitFor(EVENT_SYSTEM_ALERT, window, 500), nullptr);
    EXPECT_NE(ClientAccessible(window).state & STATE_SYSTEM_INVISIBLE, 0);
}

}  // namespace
}  // namespace lensbeacon::test
