// Which kind of desktop this program runs on: the secure logon desktop
// ("Winlogon", where the lock and sign-in screens live) or an ordinary user
// desktop. The answer picks the program's mode for the whole process life.
#pragma once

#include <windows.h>

namespace lensbeacon::indicator {

// The name test alone: only a name that is exactly "Winlogon" is the logon
// desktop. A null name (the name could not be read) counts as ordinary.
[[nodiscard]] bool IsOrdinaryDesktopName(const wchar_t* name) noexcept;

// Asks the system for the name of the calling thread's desktop. TRUE unless
// that name is "Winlogon"; also TRUE when the desktop or its name cannot be
// had.
[[nodiscard]] BOOL IsOrdinaryDesktop();

}  // namespace lensbeacon::indicator
