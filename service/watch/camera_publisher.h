// The published camera state, changed only as an ordered pair of event
// operations so that a waiter never sees On and Off signaled together.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "service_events.h"

namespace lensbeacon {

enum class CameraState : int32_t { Off = 0, On = 1 };

class CameraPublisher {
  public:
    explicit CameraPublisher(const ServiceEvents& events) : events_(events) {}

    // Publishing the state already published does nothing. Otherwise the
    // first event of the pair is reset before the second is set; the state
    // follows even when the events are missing. Safe to call from the watch
    // loop and the setting listener: the state is one aligned 32-bit word.
    void Publish(CameraState state);

    // Sequentially consistent, like the switch: the watch loop stores the
    // state and then reads the switch, while the setting listener stores the
    // switch and then reads the state, and one of them must see the other.
    [[nodiscard]] CameraState published() const { return static_cast<CameraState>(state_.load()); }

  private:
    const ServiceEvents& events_;
    std::atomic<int32_t> state_{static_cast<int32_t>(CameraState::Off)};
};

}  // namespace lensbeacon
