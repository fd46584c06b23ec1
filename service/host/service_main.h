// The service main function's sequence: register the handler, report start
// pending, publish the stop event, report running, run the worker until the
// stop and report stopped. The system calls go through ServiceMainPort so the
// hand-over of the stop event can be checked with fakes.
#pragma once

#include <windows.h>

#include "service_control.h"
#include "watch_state.h"

namespace lensbeacon {

class ServiceMainPort {
  public:
    virtual ~ServiceMainPort() = default;

    // RegisterServiceCtrlHandlerExW, and the status handle handed to whoever
    // reports with it; false when the registration fails.
    [[nodiscard]] virtual bool RegisterHandler() = 0;
    // An unnamed manual-reset event, not signaled; null on failure. It stays
    // open for the life of the process: nobody closes it.
    [[nodiscard]] virtual HANDLE CreateStopEvent() = 0;
    // The worker thread; false when it cannot be started.
    [[nodiscard]] virtual bool StartWorker() = 0;
    virtual void WaitForStop(HANDLE stop) = 0;
    // Waits up to `timeoutMs` for the worker to end.
    virtual void JoinWorker(DWORD timeoutMs) = 0;
};

// How long the service main function waits for the worker after the stop.
inline constexpr DWORD kWorkerJoinMs = 10000;

void RunServiceMain(WatchState& state, ServiceStatusReporter& reporter, ServiceMainPort& api);

}  // namespace lensbeacon
