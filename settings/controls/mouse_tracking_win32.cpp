// The system's side of the settings program's mouse tracker: leave
// notifications through winframe's TrackMouseEvent adapter, and the test of
// a point against a region.
#include "controls/mouse_event_ctrl.h"
#include "winframe/pointer_leave.h"

namespace lensbeacon::settings {
namespace {

class SystemTrackingApi final : public MouseTrackingApi {
  public:
    BOOL TrackLeave(HWND window) override {
        return winframe::TrackPointerLeave(window) ? TRUE : FALSE;
    }
    BOOL PointInRegion(HRGN region, int x, int y) override { return ::PtInRegion(region, x, y); }
};

}  // namespace

MouseTrackingApi& SystemMouseTrackingApi() noexcept {
    static SystemTrackingApi api;
    return api;
}

}  // namespace lensbeacon::settings
