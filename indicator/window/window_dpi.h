// The dots per inch a window is drawn at. The indicator is per-monitor aware
// (its manifest), so Windows 10 from 1607 on answers for the monitor the
// window is on; earlier Windows, and Windows that lack the call, have one
// scale for every monitor: the system's.
#pragma once

#include <windows.h>

namespace lensbeacon::indicator {

// GetDpiForWindow where user32 exports it, otherwise LOGPIXELSX of the
// screen; kBaseDpi (96) when neither answers.
int DpiOfWindow(HWND window) noexcept;

}  // namespace lensbeacon::indicator
