// Window classes the skeleton registers on demand.
#pragma once

#include <windows.h>

namespace lensbeacon::winframe {

// Registers, once per process for each distinct set of arguments, a window
// class whose procedure is DefWindowProcW (the skeleton subclasses its windows
// as they are created) and returns its name. The name is built from the
// arguments, so it is the same for the same arguments; the text stays valid
// for the life of the calling thread. Null on failure.
const wchar_t* RegisterWindowClassOnce(UINT classStyle, HCURSOR cursor, HBRUSH background,
                                       HICON icon);

// The class to create with: `named` when the caller chose one, otherwise one
// registered once for these fields. Null on failure.
const wchar_t* ClassForCreation(const wchar_t* named, UINT classStyle, HCURSOR cursor,
                                HBRUSH background, HICON icon);

// Registers a class described in full (for example one cloned from a system
// class under a new name) unless a class of that name already exists for its
// instance. TRUE when the class exists afterwards.
BOOL RegisterClassOnce(const WNDCLASSW& windowClass);

}  // namespace lensbeacon::winframe
