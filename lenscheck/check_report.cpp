#include "check_report.h"

#include <algorithm>
#include <utility>

#include "lensbeacon/camera_use_live.h"
#include "lensbeacon/camera_use_names.h"

namespace lensbeacon {
namespace {

// Device and record texts come from the registry, which any program with the
// rights may write: control characters are shown as '?' so that no text can
// break a line or move the console's cursor.
std::wstring Printable(std::wstring_view text) {
    std::wstring shown(text);
    std::replace_if(
        shown.begin(), shown.end(), [](wchar_t c) { return c < L' ' || c == L'\x7f'; }, L'?');
    return shown;
}

std::wstring HubText(const DeviceCacheEntry& entry) {
    if (entry.hubPath[0] != L'\0') {
        return Printable(entry.hubPath) + L", port " +
               (entry.port != 0 ? std::to_wstring(entry.port) : std::wstring(L"unknown"));
    }
    if (entry.baseline == kBaselineNoHub) {
        return L"on no USB hub";
    }
    return L"unknown: the location is unreadable";
}

std::wstring RecordProgramText(const CameraUseRecord& record) {
    if (record.packaged) {
        return Printable(record.app) + L" (packaged app)";
    }
    return Printable(DesktopProgramPath(record.app)) + L" (desktop program)";
}

std::wstring HiveText(const std::wstring& hive) {
    return hive.empty() ? std::wstring(L"an unnamed hive") : L"hive " + Printable(hive);
}

std::wstring RegistryErrorText(LSTATUS error) {
    if (error == ERROR_ACCESS_DENIED) {
        return L"access denied";
    }
    return L"error " + std::to_wstring(error);
}

}  // namespace

CheckMode ChooseMode(PolicySetting policy, bool usbWatchSetting) noexcept {
    return CheckMode{PolicyOr(policy, usbWatchSetting), policy == PolicySetting::NotConfigured
                                                            ? ModeOrigin::Settings
                                                            : ModeOrigin::Policy};
}

const wchar_t* ModeText(bool usbWatch) noexcept {
    return usbWatch ? L"USB watch mode" : L"default (change-driven) mode";
}

const wchar_t* SourceClassText(DeviceSource source) noexcept {
    switch (source) {
        case DeviceSource::ImagingClass:
            return L"imaging";
        case DeviceSource::CameraClass:
            return L"Camera";
        case DeviceSource::VideoCameraInterface:
            return L"interface only (video camera)";
        case DeviceSource::SensorCameraInterface:
            return L"interface only (sensor camera)";
    }
    return L"unknown";
}

const wchar_t* SourceListText(DeviceSource source) noexcept {
    switch (source) {
        case DeviceSource::ImagingClass:
            return L"the devices of the imaging class";
        case DeviceSource::CameraClass:
            return L"the devices of the Camera class";
        case DeviceSource::VideoCameraInterface:
            return L"the devices with a video camera interface";
        case DeviceSource::SensorCameraInterface:
            return L"the devices with a sensor camera interface";
    }
    return L"an unknown list";
}

const wchar_t* VerdictText(DeviceVerdict verdict) noexcept {
    switch (verdict) {
        case DeviceVerdict::InstanceIdUnreadable:
            return L"not judged: its instance id could not be read";
        case DeviceVerdict::NoMemory:
            return L"not judged: no memory to note it";
        case DeviceVerdict::PowerUnreadable:
            return L"not in use: its power state could not be read";
        case DeviceVerdict::Idle:
            return L"idle: in a low-power state (D1, D2 or D3)";
        case DeviceVerdict::OtherPowerState:
            return L"not in use: neither in a low-power state nor fully on";
        case DeviceVerdict::InUseOnNoHub:
            return L"in use: fully on (D0) and on no USB hub";
        case DeviceVerdict::LocationUnknown:
            return L"not in use: fully on, but where it sits cannot be read";
        case DeviceVerdict::InUseByPipes:
            return L"in use: fully on, with more open pipes than its baseline";
        case DeviceVerdict::InUseByLiveRecord:
            return L"in use: fully on under a USB hub, and a running program holds the camera "
                   L"by Windows' record";
        case DeviceVerdict::UsbNotCounted:
            return L"not in use: fully on under a USB hub, but the default mode counts no pipes "
                   L"and no running program holds the camera by Windows' record";
        case DeviceVerdict::UsbNoBaseline:
            return L"not in use: fully on under a USB hub, with no baseline to compare with and "
                   L"no running program holding the camera by Windows' record";
        case DeviceVerdict::UsbPipeCountFailed:
            return L"not in use: fully on under a USB hub, the hub did not answer, and no "
                   L"running program holds the camera by Windows' record";
        case DeviceVerdict::UsbPipesAtBaseline:
            return L"not in use: fully on under a USB hub, no more open pipes than its baseline, "
                   L"and no running program holds the camera by Windows' record";
    }
    return L"unknown";
}

const wchar_t* AnswerText(int checkResult) noexcept {
    switch (checkResult) {
        case kCameraInUse:
            return L"Camera in use";
        case kNoCameraInUse:
            return L"Cameras present, none in use";
        default:
            return L"No camera found";
    }
}

std::wstring PowerText(const std::optional<int32_t>& power) {
    if (!power) {
        return L"unreadable";
    }
    if (*power >= kPowerDeviceD0 && *power <= kPowerDeviceD3) {
        return L"D" + std::to_wstring(*power - kPowerDeviceD0);
    }
    return L"state " + std::to_wstring(*power);
}

std::wstring BaselineText(int32_t baseline) {
    if (baseline == kBaselineNotMeasured) {
        return L"unknown until seen idle";
    }
    if (baseline == kBaselineNoHub) {
        return L"none: on no USB hub";
    }
    return std::to_wstring(baseline) + L" open pipes";
}

std::wstring PipeText(const DeviceJudgement& judgement, bool usbWatch) {
    if (judgement.pipes) {
        return std::to_wstring(*judgement.pipes) + L" open pipes";
    }
    if (judgement.entry == nullptr) {
        return L"none: the device was not judged";
    }
    const DeviceCacheEntry& entry = *judgement.entry;
    if (!judgement.power) {
        return L"none: the power state is unreadable";
    }
    if (entry.baseline == kBaselineNoHub) {
        return L"none: on no USB hub";
    }
    if (entry.hubPath[0] == L'\0') {
        return L"none: the location is unreadable";
    }
    if (entry.port == 0) {
        return L"none: port unknown";
    }
    if (judgement.verdict == DeviceVerdict::Idle) {
        // An idle camera is counted only while its baseline is still open.
        return entry.baseline == kBaselineNotMeasured ? L"none: the hub did not answer"
                                                      : L"none: its baseline was taken before";
    }
    if (*judgement.power != kPowerDeviceD0) {
        return L"none: neither in a low-power state nor fully on";
    }
    if (!usbWatch) {
        return L"none: not counted in the default mode";
    }
    if (entry.baseline == kBaselineNotMeasured) {
        return L"none: no baseline yet";
    }
    return L"none: the hub did not answer";
}

CheckReport::CheckReport(CheckMode mode) : mode_(mode) {
    Add(std::wstring(L"Lensbeacon device check in ") + ModeText(mode.usbWatch) +
        (mode.origin == ModeOrigin::Policy ? L", set by the organisation's policy"
                                           : L", from the settings"));
}

void CheckReport::OnSourceUnavailable(DeviceSource source) {
    Add(L"");
    Add(std::wstring(L"Could not open the list of ") + SourceListText(source) +
        L"; they were not looked at.");
}

void CheckReport::OnJudged(const DeviceJudgement& judgement) {
    Add(L"");
    const DeviceCacheEntry* entry = judgement.entry;
    if (entry == nullptr) {
        Add(judgement.verdict == DeviceVerdict::NoMemory ? L"Device (not noted)"
                                                         : L"Device (instance id unreadable)");
        Add(std::wstring(L"  class: ") + SourceClassText(judgement.listedBy));
        Add(std::wstring(L"  verdict: ") + VerdictText(judgement.verdict));
        return;
    }
    Add(L"Device " + Printable(entry->instanceId));
    Add(std::wstring(L"  class: ") + SourceClassText(judgement.listedBy));
    Add(L"  location: " +
        (entry->locationRead ? Printable(entry->location) : std::wstring(L"unreadable")));
    Add(L"  power: " + PowerText(judgement.power));
    Add(L"  hub: " + HubText(*entry));
    Add(L"  baseline: " + BaselineText(entry->baseline));
    Add(L"  pipes: " + PipeText(judgement, mode_.usbWatch));
    Add(std::wstring(L"  verdict: ") + VerdictText(judgement.verdict));
    if (mode_.usbWatch && entry->baseline == kBaselineNotMeasured && entry->port != 0 &&
        judgement.power == kPowerDeviceD0) {
        Add(L"  note: this check starts with an empty device cache, so the baseline of a USB "
            L"camera is unknown until it has been seen idle; the running service may know it.");
    }
}

void CheckReport::AddRecords(const std::vector<CameraUseRecord>& records,
                             const std::vector<std::wstring>& runningImagePaths,
                             const std::vector<UnreadRecords>& unread) {
    Add(L"");
    std::size_t held = 0;
    for (const CameraUseRecord& record : records) {
        if (!HoldsCamera(record)) {
            continue;
        }
        if (held++ == 0) {
            Add(L"Records of camera use that hold the camera:");
        }
        const bool live = IsRecordLive(record, runningImagePaths);
        Add(std::wstring(live ? L"  live: " : L"  stale, its program is not running: ") +
            RecordProgramText(record) + L", " + HiveText(record.hive));
    }
    if (held == 0) {
        Add(L"No record of camera use holds the camera.");
    } else if (runningImagePaths.empty()) {
        Add(L"The running programs could not be listed, so every held record reads as stale.");
    }
    if (const std::size_t others = records.size() - held; others == 1) {
        Add(L"1 other record of camera use holds none.");
    } else if (others > 1) {
        Add(std::to_wstring(others) + L" other records of camera use hold none.");
    }
    for (const UnreadRecords& problem : unread) {
        Add(L"Could not read the records of camera use in " + HiveText(problem.hive) + L" (" +
            Printable(problem.key) + L"): " + RegistryErrorText(problem.error) + L".");
    }
}

void CheckReport::AddIndicatorSigning(const ProgramSigning& signing) {
    Add(L"");
    if (!signing.readable) {
        Add(L"Indicator LenspopUI.exe beside Lenscheck: could not be read (missing, or not a "
            L"program).");
        return;
    }
    Add(std::wstring(L"Indicator LenspopUI.exe beside Lenscheck: ") +
        (signing.signedByTrust ? L"signed by a trusted publisher, "
                               : L"not signed by a trusted publisher, ") +
        (signing.asksUiAccess ? L"asks for UI access." : L"does not ask for UI access."));
    if (signing.asksUiAccess && !signing.signedByTrust) {
        Add(L"Warning: it asks for UI access without a trusted signature, so Windows will not "
            L"start it.");
    }
}

void CheckReport::AddAnswer(int checkResult) {
    Add(L"");
    if (checkResult == kCameraInUse) {
        Add(L"The check stops at the first camera in use; any devices after it were not looked "
            L"at.");
    }
    Add(std::wstring(L"Answer: ") + AnswerText(checkResult));
}

}  // namespace lensbeacon
