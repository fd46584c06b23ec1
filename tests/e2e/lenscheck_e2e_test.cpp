// Lenscheck.exe from the dist folder, run as a child process with its output
// redirected to files, over simulated devices and records of camera use in
// Wine's registry: its exit code and the text it explains the check with.
// This test program's own manifest asks for UI access (Wine starts it all
// the same), so a copy of it stands for an indicator that Windows would not
// start unsigned.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "camera_use_records_sandbox.h"
#include "captured_run.h"
#include "lensbeacon/names.h"
#include "probe_programs.h"
#include "registry_sandbox.h"
#include "simulated_camera.h"
#include "simulated_usb_hub.h"

namespace lensbeacon::test {
namespace {

using Lines = std::vector<std::wstring>;

constexpr wchar_t kUsbLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)";
constexpr wchar_t kRootHubLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)";
constexpr wchar_t kIndicatorLine[] = L"Indicator LenspopUI.exe beside Lenscheck: ";
constexpr wchar_t kUiAccessWarning[] =
    L"Warning: it asks for UI access without a trusted signature, so Windows will not start it.";

Lines SplitLines(const std::wstring& text) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end = text.find(L"\r\n"); end != std::wstring::npos;
         end = text.find(L"\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "the last line has no CR LF";
    return lines;
}

bool Has(const Lines& lines, const std::wstring& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The line after "Device <id>": its class.
std::wstring ClassOf(const Lines& lines, const std::wstring& id) {
    const auto device = std::find(lines.begin(), lines.end(), L"Device " + id);
    if (device == lines.end() || device + 1 == lines.end()) {
        return L"(not listed)";
    }
    return device[1];
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_TRUE(length > 0 && length < MAX_PATH);
    return path;
}

class LenscheckEndToEnd : public ::testing::Test {
  protected:
    // A run with the text on standard output, read as UTF-8.
    Lines Check(DWORD expectedExit, const std::wstring& program = DistPath(L"Lenscheck.exe")) {
        const CapturedRun run = Run(L"", program);
        EXPECT_EQ(run.exitCode, expectedExit) << FromUtf8(run.out).c_str();
        EXPECT_EQ(run.err, "");
        const Lines lines = SplitLines(FromUtf8(run.out));
        EXPECT_FALSE(lines.empty());
        return lines;
    }

    CapturedRun Run(const std::wstring& arguments,
                    const std::wstring& program = DistPath(L"Lenscheck.exe")) {
        return RunCapturingOutput(program, L"\"" + program + L"\"" + arguments);
    }

    RegistrySandbox settings{kSettingsKey};
    RegistrySandbox policy{kPolicyKey, KEY_WOW64_64KEY};
    CameraUseRecordsSandbox records;
};

TEST_F(LenscheckEndToEnd, NoCameraExitsTwo) {
    const Lines lines = Check(2);
    EXPECT_EQ(lines.front(),
              L"Lensbeacon device check in default (change-driven) mode, from the settings");
    // The indicator in dist/ is never signed; it asks for UI access only in
    // a build that signs.
    EXPECT_TRUE(Has(lines, kIndicatorLine + std::wstring(L"not signed by a trusted publisher, ") +
                               (LENSBEACON_SIGNING_BUILD ? L"asks for UI access."
                                                         : L"does not ask for UI access.")));
    EXPECT_EQ(Has(lines, kUiAccessWarning), LENSBEACON_SIGNING_BUILD != 0);
    EXPECT_EQ(lines.back(), L"Answer: No camera found");
}

TEST_F(LenscheckEndToEnd, WarnsOfAnIndicatorThatAsksForUiAccessUnsigned) {
    ScratchFolder folder(L"Lenscheck");
    folder.CopyIn(DistPath(L"Lenscheck.exe"), L"Lenscheck.exe");
    folder.CopyIn(OwnPath(), L"LenspopUI.exe");
    const Lines lines = Check(2, folder.Path(L"Lenscheck.exe"));
    EXPECT_TRUE(Has(lines, kIndicatorLine + std::wstring(L"not signed by a trusted publisher, "
                                                         L"asks for UI access.")));
    EXPECT_TRUE(Has(lines, kUiAccessWarning));
}

TEST_F(LenscheckEndToEnd, IdleCameraClassCameraInD2ExitsZeroJudgedOnce) {
    policy.SetDword(kCheckUsbCameraValue, 1);
    settings.SetDword(kCheckUsbCameraValue, 0);
    const SimulatedCamera camera(0, L"ACPI(_SB_)#ACPI(CAM0)", CameraPower::D2,
                                 CameraKind::CameraClass);
    const Lines lines = Check(0);
    EXPECT_EQ(lines.front(),
              L"Lensbeacon device check in USB watch mode, set by the organisation's policy");
    // Listed by its class and by its camera interface, judged once.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), L"Device " + camera.instanceId()), 1);
    EXPECT_EQ(ClassOf(lines, camera.instanceId()), L"  class: Camera");
    EXPECT_TRUE(Has(lines, L"  power: D2"));
    EXPECT_TRUE(Has(lines, L"  verdict: idle: in a low-power state (D1, D2 or D3)"));
    EXPECT_EQ(lines.back(), L"Answer: Cameras present, none in use");
}

TEST_F(LenscheckEndToEnd, CameraOnNoHubInD0ExitsOneAndEveryDeviceIsNamed) {
    // Looked at in this order: the imaging class, the Camera class, the
    // camera interface.
    const SimulatedCamera scanner(0, L"PCIROOT(0)#PCI(1D00)", CameraPower::D3);
    const SimulatedCamera infrared(1, L"ACPI(_SB_)#ACPI(IRC0)", CameraPower::D1,
                                   CameraKind::CameraClass);
    const SimulatedCamera mipi(2, L"ACPI(_SB_)#ACPI(CAM0)", CameraPower::D0,
                               CameraKind::VideoInterfaceOnly);
    const Lines lines = Check(1);
    EXPECT_EQ(ClassOf(lines, scanner.instanceId()), L"  class: imaging");
    EXPECT_EQ(ClassOf(lines, infrared.instanceId()), L"  class: Camera");
    EXPECT_EQ(ClassOf(lines, mipi.instanceId()), L"  class: interface only (video camera)");
    EXPECT_TRUE(Has(lines, L"  verdict: in use: fully on (D0) and on no USB hub"));
    EXPECT_EQ(lines.back(), L"Answer: Camera in use");
}

TEST_F(LenscheckEndToEnd, ALiveRecordBacksUpAUsbCameraAndRecordsAreNamed) {
    settings.SetDword(kCheckUsbCameraValue, 1);
    const SimulatedUsbHub hub(0, kRootHubLocation);
    const SimulatedCamera camera(0, kUsbLocation, CameraPower::D0, CameraKind::CameraClass);

    // A fresh run has seen the camera idle never: no baseline, and it says so.
    Lines lines = Check(0);
    EXPECT_EQ(lines.front(), L"Lensbeacon device check in USB watch mode, from the settings");
    EXPECT_TRUE(Has(lines, L"  hub: " + hub.hubPath() + L", port 3"));
    EXPECT_TRUE(Has(lines, L"  pipes: none: no baseline yet"));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::wstring& line) {
        return line.rfind(L"  note: this check starts with an empty device cache", 0) == 0;
    }));
    EXPECT_TRUE(Has(lines, L"No record of camera use holds the camera."));

    // This test program holds the camera by its record and runs; a program
    // with a name beyond ASCII and a packaged app hold it and do not.
    const std::wstring own = OwnPath();
    const std::wstring gone = L"C:\\Tools\\Caf\u00e9 \u4f1a\u8b70.exe";
    records.StartUsing(CameraUseRecordsSandbox::DesktopAppKey(own));
    records.StartUsing(CameraUseRecordsSandbox::DesktopAppKey(gone));
    records.StartUsing(L"Contoso.Meet_abcdefghjkmnp", true);
    lines = Check(1);
    EXPECT_TRUE(Has(lines,
                    L"  verdict: in use: fully on under a USB hub, and a running program holds "
                    L"the camera by Windows' record"));
    const auto record = [&lines](const std::wstring& start) {
        return std::count_if(lines.begin(), lines.end(), [&start](const std::wstring& line) {
            return line.rfind(start, 0) == 0 && line.find(L", hive S-1-5-21-") != line.npos;
        });
    };
    EXPECT_EQ(record(L"  live: " + own + L" (desktop program)"), 1);
    EXPECT_EQ(record(L"  stale, its program is not running: " + gone + L" (desktop program)"), 1);
    EXPECT_EQ(record(L"  stale, its program is not running: Contoso.Meet_abcdefghjkmnp (packaged "
                     L"app)"),
              1);
}

TEST_F(LenscheckEndToEnd, UsageOnStandardOutputOrOnStandardErrorForAWrongArgument) {
    const CapturedRun asked = Run(L" -?");
    EXPECT_EQ(asked.exitCode, 0u);
    EXPECT_EQ(asked.out.rfind("Usage: Lenscheck [-?]\r\n", 0), 0u) << asked.out;
    EXPECT_EQ(asked.err, "");

    const CapturedRun wrong = Run(L" -x");
    EXPECT_EQ(wrong.exitCode, 3u);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err, asked.out);
}

}  // namespace
}  // namespace lensbeacon::test
