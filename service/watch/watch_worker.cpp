#include "watch_worker.h"

#include "service_events.h"
#include "setting_listener.h"

namespace lensbeacon {
namespace {

// Checks one second apart after start and after each user logon.
constexpr int32_t kBurstLength = 10;
// A Change event replays the last three checks of a burst.
constexpr int32_t kChangeBurstStart = 7;
// USB mode checks every pass until the trace takes over at this pass.
constexpr int kStartupPasses = 10;
constexpr DWORD kPassMs = 1000;
// After a check woken by a change of the records, further changes within
// this time fold into one more check at its end: a program that rewrites
// its record in a loop costs at most about four checks a second.
constexpr DWORD kRecordsQuietMs = 250;
constexpr DWORD kTraceJoinMs = 8000;
constexpr DWORD kListenerJoinMs = 1000;

}  // namespace

bool WatchWorker::Signaled(HANDLE event) {
    return system_.Wait(&event, 1, 0) == WAIT_OBJECT_0;
}

bool WatchWorker::WaitForStop(DWORD timeoutMs) {
    const HANDLE stop = state_.stopEvent.load();
    return system_.Wait(&stop, 1, timeoutMs) == WAIT_OBJECT_0;
}

WatchWorker::Wake WatchWorker::WaitForWake(HANDLE event, DWORD timeoutMs) {
    HANDLE handles[3] = {state_.stopEvent.load()};
    Wake wakes[3] = {Wake::Stop};
    DWORD count = 1;
    if (event != nullptr) {
        wakes[count] = Wake::Event;
        handles[count++] = event;
    }
    HANDLE records = system_.RecordsChanged();
    if (records != nullptr && recordsQuiet_) {
        // Right after a check that the records woke, the records are not
        // listened to for a while; a change meanwhile stays signaled and
        // wakes the next check when the quiet time is over.
        recordsQuiet_ = false;
        const DWORD quietMs = timeoutMs < kRecordsQuietMs ? timeoutMs : kRecordsQuietMs;
        const DWORD result = system_.Wait(handles, count, quietMs);
        if (result - WAIT_OBJECT_0 < count) {
            return wakes[result - WAIT_OBJECT_0];
        }
        if (result != WAIT_TIMEOUT || timeoutMs == quietMs) {
            return Wake::Timeout;
        }
        if (timeoutMs != INFINITE) {
            timeoutMs -= quietMs;
        }
    }
    if (records != nullptr) {
        wakes[count] = Wake::Records;
        handles[count++] = records;
    }
    const DWORD result = system_.Wait(handles, count, timeoutMs);
    const Wake wake =
        result - WAIT_OBJECT_0 < count ? wakes[result - WAIT_OBJECT_0] : Wake::Timeout;
    recordsQuiet_ = wake == Wake::Records;
    return wake;
}

bool WatchWorker::CaptureActivity(bool liveRecord) {
    return liveRecord || state_.publisher.published() == CameraState::On;
}

bool WatchWorker::LiveRecordHeld() {
    return system_.LiveRecordHoldsCamera() != 0;
}

bool WatchWorker::RecordWakeCalls(bool recordsWoke) {
    // Any record that holds the camera, live or not, is worth one look when
    // the records change: the devices decide.
    return recordsWoke && system_.RecordsHoldCamera() != 0;
}

void WatchWorker::CheckAndPublish(bool countPipes, bool liveRecord) {
    // The setting listener may turn the switch off while the check runs and
    // force "off" meanwhile; an "on" found by this check must not undo that.
    // The switch is read again after publishing, so an "off" forced between
    // the read and the publish is restored at once.
    const bool inUse = system_.CheckDevices(countPipes, liveRecord) == 1 && state_.switchOn != 0;
    state_.publisher.Publish(inUse ? CameraState::On : CameraState::Off);
    if (inUse && state_.switchOn == 0) {
        state_.publisher.Publish(CameraState::Off);
    }
}

void WatchWorker::StartIndicators() {
    const ConsoleSession console = system_.FindConsoleSession();
    if (console.id == 0) {
        return;
    }
    state_.consoleSessionServed = console.id;
    system_.StartLogonIndicator(console.id);
    if (console.userActive) {
        state_.userSessionServed = console.id;
        system_.StartSessionLauncher(console.id);
    }
}

void WatchWorker::RunWorker() {
    if (system_.ReadNoPhysicalCameraLed()) {
        return;  // no camera light to stand in for: stay idle until stopped
    }
    // The switch is known before the events exist: Setting Enable is made
    // (or, left by an earlier run, brought) in its state at once, so no
    // write of the start-up can cross a change made from outside the moment
    // the events exist.
    const ServicePolicy policy = system_.ReadPolicy();
    state_.policyShowOsd = policy.showOsd;
    state_.switchOn = PolicyOr(policy.showOsd, system_.ReadShowOsd()) ? 1 : 0;
    state_.events.Create(state_.switchOn != 0);
    HANDLE enable = state_.events.get(EventId::SettingEnable);
    const bool listener = system_.StartSettingListener();

    if (state_.switchOn == 0 && !WaitForSwitchOn(enable)) {
        if (listener) {
            system_.JoinSettingListener(kListenerJoinMs);
        }
        return;
    }

    // Who is logged on where, learnt while their tokens are there, and
    // handed to the control handler with `ready` (set once per process).
    if (state_.ready == 0) {
        state_.sessionUsers.LearnAll(system_);
    }
    state_.ready = 1;
    const EventPort& api = state_.events.api();
    EventHandle traceActive(api, api.createEvent(nullptr, TRUE, FALSE, nullptr));
    EventHandle traceIdle(api, api.createEvent(nullptr, TRUE, TRUE, nullptr));
    system_.RegisterMonitorPower();

    if (!Signaled(state_.stopEvent.load())) {
        StartIndicators();
        system_.FreeDeviceCache();
        system_.StartRecordWatch();
        // The policy's "CheckUSBCamera" wins over the settings key's.
        if (PolicyOr(system_.ReadPolicy().checkUsbCamera, system_.ReadCheckUsbCamera())) {
            RunUsbWatch(traceActive.get(), traceIdle.get());
        } else {
            RunChangeDrivenWatch();
        }
        system_.StopRecordWatch();
        system_.FreeDeviceCache();
    }

    system_.UnregisterMonitorPower();
    system_.EndTrace();
    system_.JoinTraceThread(kTraceJoinMs);
    traceActive.reset();
    traceIdle.reset();
    // The listener ends at the stop, but one that woke for a Setting Change
    // just before it may still be using the shared events: let it finish
    // before they are closed.
    if (listener) {
        system_.JoinSettingListener(kListenerJoinMs);
    }
    state_.events.SignalEndAndClose();
}

bool WatchWorker::WaitForSwitchOn(HANDLE enable) {
    // The listener, changing the policy, stores it first, then the switch,
    // then sets Setting Enable; each branch reads the policy again after
    // its own change, so neither thread undoes the other's.
    const HANDLE handles[2] = {state_.stopEvent.load(), enable};
    for (;;) {
        if (system_.Wait(handles, enable != nullptr ? 2 : 1, INFINITE) != WAIT_OBJECT_0 + 1) {
            return state_.switchOn != 0;  // the stop, or a failed wait
        }
        const PolicySetting held = state_.policyShowOsd.load();
        if (held == PolicySetting::Off) {
            // Turned on against the policy: put it back and wait again,
            // unless the listener lifted the hold and turned it on meanwhile.
            state_.events.api().resetEvent(enable);
            if (state_.policyShowOsd.load() != PolicySetting::Off && state_.switchOn != 0) {
                MatchSettingEnable(state_, true);
                return true;
            }
            continue;
        }
        // Turned on by the user, or by the policy. The listener may have
        // followed already and then persisted the user's change itself.
        int32_t off = 0;
        const bool turned = state_.switchOn.compare_exchange_strong(off, 1);
        if (state_.policyShowOsd.load() == PolicySetting::Off) {
            int32_t on = 1;
            if (turned) {
                state_.switchOn.compare_exchange_strong(on, 0);  // a hold came meanwhile
            }
            continue;
        }
        if (turned && held == PolicySetting::NotConfigured) {
            system_.WriteShowOsd(true);
        }
        return true;
    }
}

void WatchWorker::RunUsbWatch(HANDLE traceActive, HANDLE traceIdle) {
    int pass = 0;
    bool traceStarted = false;
    bool recordsWoke = false;
    for (;;) {
        const bool live = LiveRecordHeld();
        if (state_.monitorOn != 0 && state_.switchOn != 0 &&
            (pass < kStartupPasses || system_.TraceIdle() == 0 || RecordWakeCalls(recordsWoke) ||
             CaptureActivity(live))) {
            CheckAndPublish(true, live);
        } else {
            recordsQuiet_ = false;  // a change that asked for no look folds nothing
        }
        recordsWoke = false;

        // When the trace and the published state agree, wait for the trace
        // to change its mind; when they disagree, look again after a pass.
        const bool published = state_.publisher.published() == CameraState::On;
        HANDLE second = nullptr;
        if (system_.TraceIdle() != 0) {
            second = published ? nullptr : traceActive;
        } else {
            second = published ? traceIdle : nullptr;
        }
        const Wake wake = WaitForWake(second, kPassMs);
        if (wake == Wake::Stop) {
            break;
        }
        if (wake == Wake::Records) {
            recordsWoke = true;
            continue;  // look at once; a change of the records is not a pass
        }

        if (pass < kStartupPasses && ++pass == kStartupPasses) {
            system_.HandOverToTrace(traceActive, traceIdle);
            if (!traceStarted) {
                traceStarted = system_.StartTraceThread();
            }
        }
    }
    system_.EndTrace();
}

void WatchWorker::ConsumeChange(HANDLE change) {
    state_.events.api().resetEvent(change);
    // Compare and swap: a user logon that sets the counter to 0 meanwhile
    // keeps its full burst.
    int32_t count = state_.pollCounter.load();
    while (count >= kChangeBurstStart &&
           !state_.pollCounter.compare_exchange_weak(count, kChangeBurstStart)) {
    }
}

void WatchWorker::RunChangeDrivenWatch() {
    bool recordsWoke = false;
    for (;;) {
        const bool burst = state_.pollCounter < kBurstLength;
        const bool live = LiveRecordHeld();
        if (state_.monitorOn != 0 && state_.switchOn != 0 &&
            (burst || RecordWakeCalls(recordsWoke) || CaptureActivity(live))) {
            CheckAndPublish(false, live);
        } else {
            recordsQuiet_ = false;  // a change that asked for no look folds nothing
        }
        recordsWoke = false;
        if (burst) {
            ++state_.pollCounter;
            if (WaitForStop(kPassMs)) {
                return;
            }
            continue;
        }

        // Between bursts: sleep until a Change event, a change of the
        // records or the stop; while some app holds the camera or the
        // camera is on, look again every second.
        HANDLE change = state_.events.get(EventId::Change);
        if (change == nullptr) {
            ++state_.pollCounter;
            const Wake wake = WaitForWake(nullptr, kPassMs);
            if (wake == Wake::Stop) {
                return;
            }
            recordsWoke = wake == Wake::Records;
            continue;
        }
        if (!Signaled(change)) {
            const Wake wake = WaitForWake(change, CaptureActivity(live) ? kPassMs : INFINITE);
            if (wake == Wake::Stop) {
                return;
            }
            if (wake == Wake::Event) {
                ConsumeChange(change);
            }
            recordsWoke = wake == Wake::Records;
            continue;
        }
        // A Change that arrived during the burst: one pass later, replay.
        ConsumeChange(change);
        if (WaitForStop(kPassMs)) {
            return;
        }
    }
}

}  // namespace lensbeacon
