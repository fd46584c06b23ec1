#include "hoistrun_startup.h"

#include "launch_paths.h"
#include "lensbeacon/api_owner.h"

namespace lensbeacon {

bool IsLogonDesktop(StartupPort& startup) {
    // Handed back whatever the answer; the system keeps the thread's desktop
    // open while the thread uses it.
    const ApiOwner<StartupPort, HDESK, &StartupPort::CloseDesktop> desktop(startup,
                                                                           startup.ThreadDesktop());
    if (!desktop) {
        return false;
    }
    PathBuffer name = {};
    if (!startup.DesktopName(desktop.get(), name)) {
        return false;
    }
    name[kPathCapacity - 1] = L'\0';
    return IsLogonDesktopName(name);
}

int RunHoistrun(StartupPort& startup, UserLaunchPort& launch) {
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
            // A launch that fails is not retried: Hoistrun ends quietly.
            static_cast<void>(LaunchAsConsoleUser(launch, applicationName, commandLine));
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
