// Lenscheck's report: one device check told as lines of text. The report is
// the check's observer, so it sees each device as the service's own check
// judges it; after the check it adds the records of camera use, the
// indicator's signing and the answer. Plain code: it makes no Windows call,
// so the text is tested with made-up judgements and records.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device_check.h"
#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/policy.h"
#include "lensbeacon/program_signing.h"

namespace lensbeacon {

// Where the watch mode came from: a configured policy wins over the settings
// key, as in the service.
enum class ModeOrigin : uint8_t { Policy, Settings };

struct CheckMode {
    bool usbWatch = false;
    ModeOrigin origin = ModeOrigin::Settings;
};

CheckMode ChooseMode(PolicySetting policy, bool usbWatchSetting) noexcept;

// A records key that exists but could not be opened: the hive it belongs to
// ("HKLM" or a SID) and the registry's error code.
struct UnreadRecords {
    std::wstring hive;
    std::wstring key;  // "webcam" or "webcam\NonPackaged"
    LSTATUS error = ERROR_SUCCESS;
};

// The phrases the report is made of, one per value.
const wchar_t* ModeText(bool usbWatch) noexcept;
const wchar_t* SourceClassText(DeviceSource source) noexcept;
const wchar_t* SourceListText(DeviceSource source) noexcept;
const wchar_t* VerdictText(DeviceVerdict verdict) noexcept;
const wchar_t* AnswerText(int checkResult) noexcept;
[[nodiscard]] std::wstring PowerText(const std::optional<int32_t>& power);
[[nodiscard]] std::wstring BaselineText(int32_t baseline);
// The pipe count this check made, or why it made none.
[[nodiscard]] std::wstring PipeText(const DeviceJudgement& judgement, bool usbWatch);

class CheckReport final : public DeviceCheckObserver {
  public:
    explicit CheckReport(CheckMode mode);

    void OnSourceUnavailable(DeviceSource source) override;
    void OnJudged(const DeviceJudgement& judgement) override;

    // After the check: every held record, live (its program runs, one of
    // `runningImagePaths`) or stale, and the records keys that could not
    // be read. An empty `runningImagePaths` means the running programs could
    // not be listed.
    void AddRecords(const std::vector<CameraUseRecord>& records,
                    const std::vector<std::wstring>& runningImagePaths,
                    const std::vector<UnreadRecords>& unread);
    // The indicator beside Lenscheck (LenspopUI.exe in its folder) as Windows
    // judges it before it starts it: signed or not, asking for UI access or
    // not, and a warning when it asks without a trusted signature.
    void AddIndicatorSigning(const ProgramSigning& signing);
    // The answer for a result of CheckDevices.
    void AddAnswer(int checkResult);

    [[nodiscard]] const std::vector<std::wstring>& lines() const { return lines_; }

  private:
    void Add(std::wstring line) { lines_.push_back(std::move(line)); }

    CheckMode mode_;
    std::vector<std::wstring> lines_;
};

}  // namespace lensbeacon
