// Lenscheck's text: the device block for a table of judgements, the records
// section, the mode line and the answer, made from made-up judgements.
#include <gtest/gtest.h>

#include <cwchar>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "check_report.h"

namespace lensbeacon {
namespace {

using Lines = std::vector<std::wstring>;

constexpr wchar_t kHub[] = L"\\\\?\\USB#ROOT_HUB30#4&1&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
constexpr wchar_t kUsb[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)";
constexpr wchar_t kAcpi[] = L"ACPI(_SB_)#ACPI(CAM0)";
constexpr int32_t kUnknown = kBaselineNotMeasured;
constexpr int32_t kNoHub = kBaselineNoHub;
constexpr std::nullopt_t kNone = std::nullopt;

// One judged device (a null location is unreadable, a null hub none found)
// and the lines it must give: power, hub (after the hub path when it starts
// with a comma), baseline and pipes.
struct Row {
    const wchar_t* location;
    const wchar_t* hub;
    int32_t port;
    int32_t baseline;
    std::optional<int32_t> power;
    std::optional<uint32_t> pipes;
    DeviceVerdict verdict;
    bool usbWatch;
    const wchar_t* powerText;
    const wchar_t* hubText;
    const wchar_t* baselineText;
    const wchar_t* pipesText;
    bool note;  // the empty-cache note on a USB camera without a baseline
};

const Row kRows[] = {
    {kAcpi, nullptr, 0, kNoHub, kPowerDeviceD2, kNone, DeviceVerdict::Idle, true, L"D2",
     L"on no USB hub", L"none: on no USB hub", L"none: on no USB hub", false},
    {kAcpi, nullptr, 0, kNoHub, kPowerDeviceD0, kNone, DeviceVerdict::InUseOnNoHub, false, L"D0",
     L"on no USB hub", L"none: on no USB hub", L"none: on no USB hub", false},
    // Seen idle: the count is the baseline; a failed count leaves it open;
    // a baseline once taken is not counted again.
    {kUsb, kHub, 3, 2, kPowerDeviceD3, 2u, DeviceVerdict::Idle, false, L"D3", L", port 3",
     L"2 open pipes", L"2 open pipes", false},
    {kUsb, kHub, 3, kUnknown, kPowerDeviceD1, kNone, DeviceVerdict::Idle, true, L"D1", L", port 3",
     L"unknown until seen idle", L"none: the hub did not answer", false},
    {kUsb, kHub, 3, 2, kPowerDeviceD2, kNone, DeviceVerdict::Idle, true, L"D2", L", port 3",
     L"2 open pipes", L"none: its baseline was taken before", false},
    // Fully on under a hub.
    {kUsb, kHub, 3, kUnknown, kPowerDeviceD0, kNone, DeviceVerdict::UsbNotCounted, false, L"D0",
     L", port 3", L"unknown until seen idle", L"none: not counted in the default mode", false},
    {kUsb, kHub, 3, kUnknown, kPowerDeviceD0, kNone, DeviceVerdict::UsbNoBaseline, true, L"D0",
     L", port 3", L"unknown until seen idle", L"none: no baseline yet", true},
    {kUsb, kHub, 3, 2, kPowerDeviceD0, kNone, DeviceVerdict::UsbPipeCountFailed, true, L"D0",
     L", port 3", L"2 open pipes", L"none: the hub did not answer", false},
    {kUsb, kHub, 3, 2, kPowerDeviceD0, 2u, DeviceVerdict::UsbPipesAtBaseline, true, L"D0",
     L", port 3", L"2 open pipes", L"2 open pipes", false},
    {kUsb, kHub, 3, 2, kPowerDeviceD0, 3u, DeviceVerdict::InUseByPipes, true, L"D0", L", port 3",
     L"2 open pipes", L"3 open pipes", false},
    {kUsb, kHub, 3, kUnknown, kPowerDeviceD0, kNone, DeviceVerdict::InUseByLiveRecord, false, L"D0",
     L", port 3", L"unknown until seen idle", L"none: not counted in the default mode", false},
    {kUsb, kHub, 3, kUnknown, kPowerDeviceD0, kNone, DeviceVerdict::InUseByLiveRecord, true, L"D0",
     L", port 3", L"unknown until seen idle", L"none: no baseline yet", true},
    // What could not be read: the port, the location, the power state.
    {L"PCIROOT(0)#USBROOT(0)", kHub, 0, kUnknown, kPowerDeviceD0, kNone,
     DeviceVerdict::UsbNoBaseline, true, L"D0", L", port unknown", L"unknown until seen idle",
     L"none: port unknown", false},
    {nullptr, nullptr, 0, kUnknown, kPowerDeviceD0, kNone, DeviceVerdict::LocationUnknown, true,
     L"D0", L"unknown: the location is unreadable", L"unknown until seen idle",
     L"none: the location is unreadable", false},
    {kUsb, kHub, 3, kUnknown, kNone, kNone, DeviceVerdict::PowerUnreadable, true, L"unreadable",
     L", port 3", L"unknown until seen idle", L"none: the power state is unreadable", false},
    {kAcpi, nullptr, 0, kNoHub, 5, kNone, DeviceVerdict::OtherPowerState, false, L"state 5",
     L"on no USB hub", L"none: on no USB hub", L"none: on no USB hub", false},
    {kUsb, kHub, 3, 2, 0, kNone, DeviceVerdict::OtherPowerState, true, L"state 0", L", port 3",
     L"2 open pipes", L"none: neither in a low-power state nor fully on", false},
};

TEST(LenscheckDeviceText, EachJudgementGivesItsBlock) {
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        const Row& row = kRows[i];
        DeviceCacheEntry entry;
        std::wcscpy(entry.instanceId, L"USB\\VID_046D&PID_0825\\1");
        entry.locationRead = row.location != nullptr;
        std::wcscpy(entry.location, row.location != nullptr ? row.location : L"");
        std::wcscpy(entry.hubPath, row.hub != nullptr ? row.hub : L"");
        entry.port = row.port;
        entry.baseline = row.baseline;
        DeviceJudgement judgement;
        judgement.listedBy = DeviceSource::CameraClass;
        judgement.entry = &entry;
        judgement.power = row.power;
        judgement.pipes = row.pipes;
        judgement.verdict = row.verdict;

        CheckReport report(CheckMode{row.usbWatch, ModeOrigin::Settings});
        report.OnJudged(judgement);
        Lines expected = {
            L"",
            L"Device USB\\VID_046D&PID_0825\\1",
            L"  class: Camera",
            std::wstring(L"  location: ") + (row.location ? row.location : L"unreadable"),
            std::wstring(L"  power: ") + row.powerText,
            std::wstring(L"  hub: ") + (row.hubText[0] == L',' ? kHub : L"") + row.hubText,
            std::wstring(L"  baseline: ") + row.baselineText,
            std::wstring(L"  pipes: ") + row.pipesText,
            std::wstring(L"  verdict: ") + VerdictText(row.verdict),
        };
        if (row.note) {
            expected.push_back(
                L"  note: this check starts with an empty device cache, so the baseline of a "
                L"USB camera is unknown until it has been seen idle; the running service may "
                L"know it.");
        }
        EXPECT_EQ(Lines(report.lines().begin() + 1, report.lines().end()), expected) << "row " << i;
    }
}

TEST(LenscheckDeviceText, ClassesDevicesWithoutEntryAndUnsafeCharacters) {
    CheckReport report(CheckMode{});
    DeviceJudgement judgement;
    judgement.listedBy = DeviceSource::SensorCameraInterface;
    report.OnJudged(judgement);  // an unreadable instance id
    judgement.listedBy = DeviceSource::ImagingClass;
    judgement.verdict = DeviceVerdict::NoMemory;
    report.OnJudged(judgement);
    DeviceCacheEntry odd;
    std::wcscpy(odd.instanceId, L"ROOT\\IMAGE\n0000");
    std::wcscpy(odd.location, L"ACPI(1)\r\x1b[2J");
    odd.locationRead = true;
    odd.baseline = kBaselineNoHub;
    judgement.listedBy = DeviceSource::VideoCameraInterface;
    judgement.entry = &odd;
    judgement.power = kPowerDeviceD3;
    judgement.verdict = DeviceVerdict::Idle;
    report.OnJudged(judgement);
    const Lines& lines = report.lines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(
        Lines(lines.begin() + 1, lines.begin() + 13),
        (Lines{L"", L"Device (instance id unreadable)", L"  class: interface only (sensor camera)",
               L"  verdict: not judged: its instance id could not be read", L"",
               L"Device (not noted)", L"  class: imaging",
               L"  verdict: not judged: no memory to note it", L"", L"Device ROOT\\IMAGE?0000",
               L"  class: interface only (video camera)", L"  location: ACPI(1)??[2J"}));
}

TEST(LenscheckDeviceText, EveryVerdictHasItsOwnPhrase) {
    std::set<std::wstring> phrases;
    for (int value = 0; value <= static_cast<int>(DeviceVerdict::UsbPipesAtBaseline); ++value) {
        const auto verdict = static_cast<DeviceVerdict>(value);
        const std::wstring phrase = VerdictText(verdict);
        EXPECT_NE(phrase, L"unknown") << value;
        EXPECT_EQ(phrase.rfind(L"in use: ", 0) == 0, IsInUseVerdict(verdict)) << value;
        phrases.insert(phrase);
    }
    EXPECT_EQ(phrases.size(), static_cast<std::size_t>(DeviceVerdict::UsbPipesAtBaseline) + 1);
}

TEST(LenscheckReport, ModeListsThatCouldNotBeOpenedAndTheAnswer) {
    const std::wstring header = L"Lensbeacon device check in ";
    EXPECT_EQ(CheckReport(ChooseMode(PolicySetting::NotConfigured, true)).lines(),
              Lines{header + L"USB watch mode, from the settings"});
    EXPECT_EQ(CheckReport(ChooseMode(PolicySetting::On, false)).lines(),
              Lines{header + L"USB watch mode, set by the organisation's policy"});
    CheckReport report(ChooseMode(PolicySetting::Off, true));
    report.OnSourceUnavailable(DeviceSource::CameraClass);
    report.AddAnswer(kNoImagingDevice);
    EXPECT_EQ(
        report.lines(),
        (Lines{header + L"default (change-driven) mode, set by the organisation's policy", L"",
               L"Could not open the list of the devices of the Camera class; they were "
               L"not looked at.",
               L"", L"Answer: No camera found"}));

    CheckReport inUse(CheckMode{});
    inUse.AddAnswer(kCameraInUse);
    EXPECT_EQ(inUse.lines().back(), L"Answer: Camera in use");
    CheckReport idle(CheckMode{});
    idle.AddAnswer(kNoCameraInUse);
    EXPECT_EQ(idle.lines().back(), L"Answer: Cameras present, none in use");
}

TEST(LenscheckReport, IndicatorSigningAndTheWarningWindowsWouldGiveNoStart) {
    const std::wstring start = L"Indicator LenspopUI.exe beside Lenscheck: ";
    const auto said = [](const ProgramSigning& signing) {
        CheckReport report(CheckMode{});
        report.AddIndicatorSigning(signing);
        return Lines(report.lines().begin() + 2, report.lines().end());
    };
    EXPECT_EQ(said({}), Lines{start + L"could not be read (missing, or not a program)."});
    EXPECT_EQ(said({true, false, false}),
              Lines{start + L"not signed by a trusted publisher, does not ask for UI access."});
    EXPECT_EQ(said({true, true, true}),
              Lines{start + L"signed by a trusted publisher, asks for UI access."});
    EXPECT_EQ(said({true, false, true}),
              (Lines{start + L"not signed by a trusted publisher, asks for UI access.",
                     L"Warning: it asks for UI access without a trusted signature, so Windows "
                     L"will not start it."}));
}

// The records section of a report, without the mode line and the blank line.
Lines RecordLines(const std::vector<CameraUseRecord>& records,
                  const std::vector<std::wstring>& running,
                  const std::vector<UnreadRecords>& unread = {}) {
    CheckReport report(CheckMode{});
    report.AddRecords(records, running, unread);
    return Lines(report.lines().begin() + 2, report.lines().end());
}

TEST(LenscheckRecords, HeldRecordsLiveAndStaleWithHiveAndProgram) {
    const std::wstring user = L"S-1-5-21-1-2-3-1001";
    const std::vector<CameraUseRecord> records = {
        {L"Microsoft.WindowsCamera_8wekyb3d8bbwe", true, 20, 0, user},
        {L"Contoso.Meet_abcdefghjkmnp", true, 30, 10, L"HKLM"},
        {L"Fabrikam.Old_0123456789abc", true, 5, 9, user},  // stopped
        {L"C:#Tools#meet.exe", false, 40, 0, user},
        {L"C:#Tools#gone\n.exe", false, 50, 0, L""},
    };
    const std::vector<std::wstring> running = {
        L"C:\\Program Files\\WindowsApps\\Microsoft.WindowsCamera_2023.1.0.0_x64__8wekyb3d8bbwe"
        L"\\WindowsCamera.exe",
        L"c:\\tools\\MEET.exe",
    };
    const std::wstring stale = L"  stale, its program is not running: ";
    EXPECT_EQ(RecordLines(records, running),
              (Lines{L"Records of camera use that hold the camera:",
                     L"  live: Microsoft.WindowsCamera_8wekyb3d8bbwe (packaged app), hive " + user,
                     stale + L"Contoso.Meet_abcdefghjkmnp (packaged app), hive HKLM",
                     L"  live: C:\\Tools\\meet.exe (desktop program), hive " + user,
                     stale + L"C:\\Tools\\gone?.exe (desktop program), an unnamed hive",
                     L"1 other record of camera use holds none."}));

    // No running program listed, and keys that could not be read.
    const std::vector<UnreadRecords> unread = {
        {L"S-1-5-21-1-2-3-1002", L"webcam", ERROR_ACCESS_DENIED},
        {L"HKLM", L"webcam\\NonPackaged", ERROR_KEY_DELETED},
    };
    EXPECT_EQ(RecordLines({records[3]}, {}, unread),
              (Lines{L"Records of camera use that hold the camera:",
                     stale + L"C:\\Tools\\meet.exe (desktop program), hive " + user,
                     L"The running programs could not be listed, so every held record reads as "
                     L"stale.",
                     L"Could not read the records of camera use in hive S-1-5-21-1-2-3-1002 "
                     L"(webcam): access denied.",
                     L"Could not read the records of camera use in hive HKLM "
                     L"(webcam\\NonPackaged): error 1018."}));
    EXPECT_EQ(RecordLines({records[2], {L"C:#never.exe", false, 0, 0, L"HKLM"}}, running),
              (Lines{L"No record of camera use holds the camera.",
                     L"2 other records of camera use hold none."}));
}

}  // namespace
}  // namespace lensbeacon
