// State the service's threads share without a lock: aligned 32-bit words
// written whole, plus the shared events and the published camera state. The
// stop event is the only ordering between the control handler and the worker.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "camera_publisher.h"
#include "service_events.h"

namespace lensbeacon {

struct WatchState {
    explicit WatchState(const EventApi& api = RealEventApi()) : events(api) {}

    HANDLE stopEvent = nullptr;  // owned by the service main function

    std::atomic<int32_t> switchOn{1};   // the user's switch, live copy of "ShowOSD"
    std::atomic<int32_t> monitorOn{1};  // checks are made only while the display is on
    std::atomic<int32_t> ready{0};      // the watch has begun; set once, never cleared
    std::atomic<int32_t> pollCounter{0};
    std::atomic<DWORD> consoleSessionServed{0};  // 0 = none
    std::atomic<DWORD> userSessionServed{0};     // 0 = none

    ServiceEvents events;
    CameraPublisher publisher{events};
};

}  // namespace lensbeacon
