// The service's watch: the worker that creates the shared events, starts the
// indicators and runs one of the two watch modes until the stop event, and
// the setting listener that follows the user's switch meanwhile.
#pragma once

#include <windows.h>

#include "watch_state.h"
#include "watch_system.h"

namespace lensbeacon {

class Watcher {
  public:
    Watcher(WatchState& state, WatchSystem& system) : state_(state), system_(system) {}

    // The worker thread's whole run; returns when the watch has ended.
    void RunWorker();

    // The setting listener thread's whole run.
    void RunSettingListener();

    // One Setting Change pulse: follows Setting Enable into the switch.
    void OnSettingChange();

  private:
    void RunUsbWatch(HANDLE traceActive, HANDLE traceIdle);
    void RunChangeDrivenWatch();
    void CheckAndPublish(bool countPipes);
    void StartIndicators();
    bool Signaled(HANDLE event);
    bool WaitForStop(DWORD timeoutMs);  // true when the stop event was signaled
    void ConsumeChange(HANDLE change);
    void SetIfPresent(EventId id);

    WatchState& state_;
    WatchSystem& system_;
};

}  // namespace lensbeacon
