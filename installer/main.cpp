// InstLenswatch: registers, starts, stops and removes the camera-watch
// service. No window, no console; with "-debug" it writes debugger lines.
#include <windows.h>
#include <shellapi.h>

#include "command_line.h"
#include "installer.h"
#include "lensbeacon/own_folder.h"
#include "lensbeacon/unique_owner.h"
#include "lensbeacon/wow64.h"
#include "service_manager_port_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr) {
        const DWORD error = ::GetLastError();
        return static_cast<int>(error != ERROR_SUCCESS ? error : ERROR_INVALID_PARAMETER);
    }
    const lensbeacon::UniqueLocalMemory argumentMemory(arguments);
    const lensbeacon::InstallerRequest request = lensbeacon::ParseArguments(count, arguments);
    if (request.operation == lensbeacon::InstallerOperation::None) {
        // Nothing asked: neither the service manager nor the registry is touched.
        return 0;
    }

    lensbeacon::PathBuffer ownFolder;
    const bool haveFolder = lensbeacon::OwnFolder(nullptr, ownFolder);
    lensbeacon::Win32ServiceManagerPort services(lensbeacon::RunningUnderWow64());
    return static_cast<int>(
        lensbeacon::RunInstaller(request, haveFolder ? ownFolder : nullptr, services));
}
