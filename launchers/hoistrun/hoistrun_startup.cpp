#include "hoistrun_startup.h"

#include <cwchar>

#include "launch_paths.h"

namespace lensbeacon {

bool IsLogonDesktop(StartupApi& startup) {
    HDESK desktop = startup.ThreadDesktop();
    if (desktop == nullptr) {
        return false;
    }
    PathBuffer name = {};
    const bool named = startup.DesktopName(desktop, name);
    // Handed back whatever the answer; the system keeps the thread's desktop
    // open while the thread uses it.
    startup.CloseDesktop(desktop);
    if (!named) {
        return false;
    }
    name[kPathCapacity - 1] = L'\0';
    return std::wcscmp(name, kLogonDesktopName) == 0;
}

int RunHoistrun(StartupApi& startup, UserLaunchApi& launch) {
    if (startup.WindowExists(kIndicatorWindowClass, kIndicatorWindowTitle)) {
        return 0;
    }

    PathBuffer modulePath = {};
    PathBuffer folder = {};
    if (!startup.ModuleFileName(modulePath) || !FolderOfModulePath(modulePath, folder)) {
        return 0;
    }

    if (!IsLogonDesktop(startup)) {
        // The command line names Plainrun bare, as the system's rules would
        // find it; the application name pins it to this program's own folder,
        // so no other folder of the search order is consulted.
        PathBuffer commandLine = {};
        PathBuffer applicationName = {};
        if (BuildUserLaunchCommandLine(folder, commandLine) &&
            JoinPath(folder, kUserLauncherFile, applicationName)) {
            LaunchAsConsoleUser(launch, applicationName, commandLine);
        }
        return 0;
    }

    PathBuffer logonIndicator = {};
    if (JoinPath(folder, kLogonIndicatorFile, logonIndicator)) {
        startup.OpenWithShell(logonIndicator);
    }
    return 0;
}

}  // namespace lensbeacon
