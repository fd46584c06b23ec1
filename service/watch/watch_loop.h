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
    // What woke a wait: the stop event, the event asked for, a change of
    // the record of camera use, or a time-out (or failed wait).
    enum class Wake { Stop, Event, Records, Timeout };

    void RunUsbWatch(HANDLE traceActive, HANDLE traceIdle);
    void RunChangeDrivenWatch();
    void CheckAndPublish(bool countPipes);
    void StartIndicators();
    bool Signaled(HANDLE event);
    bool WaitForStop(DWORD timeoutMs);  // true when the stop event was signaled
    // Waits on the stop event, `event` if any, and the records' event if a
    // record watch runs.
    Wake WaitForWake(HANDLE event, DWORD timeoutMs);
    // Some app holds the camera by the records, or the camera is on: look
    // every second until neither holds.
    bool CaptureActivity();
    void ConsumeChange(HANDLE change);
    void SetIfPresent(EventId id);

    WatchState& state_;
    WatchSystem& system_;
};

}  // namespace lensbeacon
