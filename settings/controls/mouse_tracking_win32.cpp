// The system's side of the settings program's mouse tracker: leave
// notifications through winframe's TrackMouseEvent adapter, and the test of
// a point against a region.
#include "controls/mouse_event_ctrl.h"
#include "winframe/pointer_leave.h"

namespace lensbeacon::settings {
namespace {

class Win32MouseTrackingPort final : public MouseTrackingPort {
  public:
    BOOL TrackLeave(HWND window) override {
        return winframe::TrackPointerLeave(window) ? TRUE : FALSE;
    }
    BOOL PointInRegion(HRGN region, int x, int y) override { return ::PtInRegion(region, x, y); }
};

}  // namespace

MouseTrackingPort& SystemMouseTrackingPort() noexcept {
    static Win32MouseTrackingPort api;
    return api;
}

}  // namespace lensbeacon::settings
