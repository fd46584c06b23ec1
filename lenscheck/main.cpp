// Lenscheck: runs one device check the way the service would run it now,
// with the service's own check, mode and records, and prints what the check
// saw and why it answered as it did, and whether Windows will start the
// indicator beside it. It only reads: no named event is opened and no
// setting is written, so it is safe beside a running service, and it needs
// no administrator rights (what it cannot read, it says).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "check_arguments.h"
#include "check_report.h"
#include "console_output.h"
#include "device_check.h"
#include "device_port_win32.h"
#include "lensbeacon/camera_use_live.h"
#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/names.h"
#include "lensbeacon/own_folder.h"
#include "lensbeacon/policy.h"
#include "lensbeacon/program_signing.h"
#include "lensbeacon/running_programs.h"
#include "service_settings.h"
#include "unread_records.h"

namespace lensbeacon {
namespace {

// The user-desktop indicator installed beside this program; unreadable when
// its path does not fit.
ProgramSigning IndicatorSigning() {
    PathBuffer path = {};
    return OwnFolderPath(kUserIndicatorFile, path) ? InspectProgramSigning(path) : ProgramSigning{};
}

int RunCheck() {
    // As the service's worker: a configured policy wins over the settings.
    const CheckMode mode =
        ChooseMode(ReadPolicySetting(kCheckUsbCameraValue), ReadCheckUsbCamera());
    const std::vector<CameraUseRecord> records = ReadCameraUseRecordsOfAllHives();
    const std::vector<std::wstring> running = ReadRunningImagePaths();
    const DeviceCheckInput input{mode.usbWatch, !LiveHeldRecords(records, running).empty()};

    CheckReport report(mode);
    int result = kNoImagingDevice;
    if (const std::unique_ptr<DevicePort> devices = CreateWin32DevicePort()) {
        DeviceCache cache;  // empty: nothing was seen idle before this run
        result = CheckDevices(*devices, cache, input, &report);
    } else {
        for (const DeviceSource source : kDeviceSources) {
            report.OnSourceUnavailable(source);
        }
    }
    report.AddRecords(records, running, FindUnreadRecords());
    report.AddIndicatorSigning(IndicatorSigning());
    report.AddAnswer(result);
    // The exit code carries the answer even when the text cannot be written.
    static_cast<void>(WriteLines(STD_OUTPUT_HANDLE, report.lines()));
    return ExitCodeOfCheck(result);
}

}  // namespace
}  // namespace lensbeacon

int wmain(int argc, wchar_t** argv) {
    using namespace lensbeacon;
    switch (ParseCheckArguments(argc, argv)) {
        case CheckCommand::Usage:
            static_cast<void>(WriteLines(STD_OUTPUT_HANDLE, UsageLines()));
            return kExitNoCameraInUse;
        case CheckCommand::WrongArgument:
            static_cast<void>(WriteLines(STD_ERROR_HANDLE, UsageLines()));
            return kExitWrongArgument;
        case CheckCommand::Run:
            break;
    }
    return RunCheck();
}
