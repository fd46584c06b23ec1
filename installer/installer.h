// The installer's operations: install (and optionally start), or stop and
// remove the camera-watch service.
#pragma once

#include <windows.h>

#include "command_line.h"
#include "lensbeacon/own_folder.h"
#include "service_manager_port.h"

namespace lensbeacon {

// The service program's command line for the service manager: own folder plus
// "Lenswatch.exe", in quotes so that a folder with blanks cannot be taken for
// a shorter program path. False, leaving `path` empty, when it does not fit.
[[nodiscard]] bool QuotedServicePath(const wchar_t* ownFolder, PathBuffer& path);

// Runs the requested operation and returns the process exit code: 0 when it
// succeeded (an uninstall of a service that is not there succeeds) or when
// there is nothing to do, otherwise the system error code of the failed step.
// Installing also has the manager restart the service after an abnormal end;
// when that cannot be set, the install goes on and still succeeds.
// `ownFolder` is null when the installer's folder could not be read whole;
// installing then refuses.
DWORD RunInstaller(const InstallerRequest& request, const wchar_t* ownFolder,
                   ServiceManagerPort& services);

}  // namespace lensbeacon
