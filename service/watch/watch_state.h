// State the service's threads share without a lock: aligned words written
// whole, plus the shared events and the published camera state. The stop
// event is the only ordering between the control handler and the worker.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "camera_publisher.h"
#include "lensbeacon/policy.h"
#include "service_events.h"
#include "session_users.h"

namespace lensbeacon {

// What the worker and the setting listener both hold: the stop, the switch
// and the policy's hold on it, the shared events and the published state.
struct SwitchState {
    explicit SwitchState(const EventPort& api) : events(api) {}

    // Manual-reset, set once to end the watch. Published by the service main
    // function before the service reports running and then kept open for the
    // life of the process, so the control handler thread never meets a closed
    // or reused handle, however late a control arrives.
    std::atomic<HANDLE> stopEvent{nullptr};

    std::atomic<int32_t> switchOn{1};  // the switch: the policy's hold, else the user's "ShowOSD"
    // The policy's "ShowOSD" as last read; written by the worker at start,
    // then by the setting listener only.
    std::atomic<PolicySetting> policyShowOsd{PolicySetting::NotConfigured};

    ServiceEvents events;
    CameraPublisher publisher{events};
};

// The whole of it: the switch's part and what the worker shares with the
// control handler alone.
struct WatchState : SwitchState {
    explicit WatchState(const EventPort& api = Win32EventPort()) : SwitchState(api) {}

    std::atomic<int32_t> monitorOn{1};  // checks are made only while the display is on
    std::atomic<int32_t> ready{0};      // the watch has begun; set once, never cleared
    std::atomic<int32_t> pollCounter{0};
    std::atomic<DWORD> consoleSessionServed{0};  // 0 = none
    std::atomic<DWORD> userSessionServed{0};     // 0 = none
    // Filled by the worker before it sets `ready`, then the control
    // handler's own (session_users.h).
    SessionUsers sessionUsers;
};

}  // namespace lensbeacon
