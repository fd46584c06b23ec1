#include "camera_publisher.h"

namespace lensbeacon {

void CameraPublisher::Publish(CameraState state) {
    if (published() == state) {
        return;
    }
    HANDLE on = events_.get(EventId::On);
    HANDLE off = events_.get(EventId::Off);
    if (on != nullptr && off != nullptr) {
        const EventPort& api = events_.api();
        if (state == CameraState::On) {
            api.resetEvent(off);
            api.setEvent(on);
        } else {
            api.resetEvent(on);
            api.setEvent(off);
        }
    }
    state_.store(static_cast<int32_t>(state));
}

}  // namespace lensbeacon
