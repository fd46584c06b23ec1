// The paths and the command line Hoistrun builds from its own folder, in the
// suite's 260-character buffers. Anything that does not fit is refused, never
// cut.
#pragma once

#include "lensbeacon/names.h"
#include "lensbeacon/own_folder.h"

namespace lensbeacon {

// `Plainrun.exe "=<folder>LenspopUI.exe"`. False, leaving `commandLine` empty,
// when it does not fit in 260 characters.
[[nodiscard]] bool BuildUserLaunchCommandLine(const wchar_t* folder, PathBuffer& commandLine);

}  // namespace lensbeacon
