#include "check_arguments.h"

#include <cwchar>

#include "device_check.h"

namespace lensbeacon {

CheckCommand ParseCheckArguments(int count, const wchar_t* const* arguments) noexcept {
    if (count <= 1) {
        return CheckCommand::Run;
    }
    const wchar_t* first = arguments[1];
    if (count == 2 && first != nullptr &&
        (std::wcscmp(first, L"-?") == 0 || std::wcscmp(first, L"/?") == 0)) {
        return CheckCommand::Usage;
    }
    return CheckCommand::WrongArgument;
}

int ExitCodeOfCheck(int checkResult) noexcept {
    switch (checkResult) {
        case kCameraInUse:
            return kExitCameraInUse;
        case kNoCameraInUse:
            return kExitNoCameraInUse;
        default:
            return kExitNoCamera;
    }
}

std::vector<std::wstring> UsageLines() {
    return {
        L"Usage: Lenscheck [-?]",
        L"",
        L"Runs one device check the way the Lensbeacon service would run it now, and says",
        L"what it found: each device it looked at and why it judged it so, the records of",
        L"camera use that hold the camera, and the answer. It only reads: it changes no",
        L"setting and signals no event, so it is safe beside the running service.",
        L"",
        L"Exit codes: 1 a camera in use, 0 cameras present but none in use,",
        L"            2 no camera found, 3 a wrong argument.",
    };
}

}  // namespace lensbeacon
