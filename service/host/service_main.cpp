#include "service_main.h"

namespace lensbeacon {

void RunServiceMain(WatchState& state, ServiceStatusReporter& reporter, ServiceMainPort& api) {
    if (!api.RegisterHandler()) {
        return;
    }
    reporter.StartPending();

    // The stop event is published once and never withdrawn or closed: the
    // control handler runs on another thread and may read it at any moment,
    // even after the worker has ended. A second run in the same process
    // starts from a cleared event.
    HANDLE stop = state.stopEvent.load();
    if (stop != nullptr) {
        state.events.api().resetEvent(stop);
    } else {
        stop = api.CreateStopEvent();
        state.stopEvent.store(stop);
    }
    if (stop != nullptr) {
        reporter.Running();
        const bool worker = api.StartWorker();
        api.WaitForStop(stop);
        if (worker) {
            // A worker still running after this keeps waiting on the stop
            // event, which stays open.
            api.JoinWorker(kWorkerJoinMs);
        }
    }
    reporter.Stopped();
}

}  // namespace lensbeacon
