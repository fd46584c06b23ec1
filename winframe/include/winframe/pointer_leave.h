// The Windows side of the pointer tracker (lensbeacon/pointer_tracker.h):
// asking the system for the notifications that tell a window the pointer
// rests on it or has left it.
#pragma once

#include <windows.h>

namespace lensbeacon::winframe {

// TrackMouseEvent for `window` with `flags` (TME_LEAVE, TME_HOVER) and the
// hover time (0 where only a leave is asked for); the call's answer.
bool TrackPointer(HWND window, DWORD flags, DWORD hoverTimeMs = 0) noexcept;

// One WM_MOUSELEAVE when the pointer leaves the window.
inline bool TrackPointerLeave(HWND window) noexcept {
    return TrackPointer(window, TME_LEAVE);
}

}  // namespace lensbeacon::winframe
