#include "launch_paths.h"

#include "lensbeacon/bounded_text.h"

namespace lensbeacon {

bool BuildUserLaunchCommandLine(const wchar_t* folder, PathBuffer& commandLine) {
    // The argument is quoted so a folder with blanks stays one argument.
    return BoundedText(commandLine)
        .Append(kUserLauncherFile)
        .Append(L" \"=")
        .Append(folder)
        .Append(kUserIndicatorFile)
        .Append(L'"')
        .ok();
}

}  // namespace lensbeacon
