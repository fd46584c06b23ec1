#include "winframe/pointer_leave.h"

namespace lensbeacon::winframe {

bool TrackPointer(HWND window, DWORD flags, DWORD hoverTimeMs) noexcept {
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof(request);
    request.dwFlags = flags;
    request.hwndTrack = window;
    request.dwHoverTime = hoverTimeMs;
    return ::TrackMouseEvent(&request) != FALSE;
}

}  // namespace lensbeacon::winframe
