// The service's watch worker: the thread that creates the shared events,
// starts the indicators and runs one of the two watch modes until the stop
// event. The setting listener, started and joined by the worker, follows the
// switch and the policy meanwhile (setting_listener.h); the two share the
// switch's state (watch_state.h).
#pragma once

#include <windows.h>

#include "watch_state.h"
#include "watch_port.h"

namespace lensbeacon {

class WatchWorker {
  public:
    WatchWorker(WatchState& state, WatchPort& system) : state_(state), system_(system) {}

    // The worker thread's whole run; returns when the watch has ended.
    void RunWorker();

  private:
    // What woke a wait: the stop event, the event asked for, a change of
    // the record of camera use, or a time-out (or failed wait).
    enum class Wake { Stop, Event, Records, Timeout };

    void RunUsbWatch(HANDLE traceActive, HANDLE traceIdle);
    void RunChangeDrivenWatch();
    void CheckAndPublish(bool countPipes, bool liveRecord);
    void StartIndicators();
    [[nodiscard]] bool Signaled(HANDLE event);
    [[nodiscard]] bool WaitForStop(DWORD timeoutMs);  // true when the stop event was signaled
    // Waits on the stop event, `event` if any, and the records' event if a
    // record watch runs. After a wake by the records, the records' event
    // joins the wait only once the quiet time has passed, so that further
    // changes fold into one more check.
    Wake WaitForWake(HANDLE event, DWORD timeoutMs);
    // A live record holds the camera, or the camera is on: look every
    // second until neither holds.
    [[nodiscard]] bool CaptureActivity(bool liveRecord);
    [[nodiscard]] bool LiveRecordHeld();
    // Whether a change of the records that woke the loop calls for a look.
    [[nodiscard]] bool RecordWakeCalls(bool recordsWoke);
    void ConsumeChange(HANDLE change);
    // With the switch off at start: waits until it is turned on (true) or
    // the stop comes (false, unless it was turned on meanwhile).
    [[nodiscard]] bool WaitForSwitchOn(HANDLE enable);

    WatchState& state_;
    WatchPort& system_;
    // The last wait ended on a change of the records: the next one does not
    // listen to them at first (kRecordsQuietMs).
    bool recordsQuiet_ = false;
};

}  // namespace lensbeacon
