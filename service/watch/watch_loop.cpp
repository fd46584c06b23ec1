#include "watch_loop.h"

#include "service_events.h"

namespace lensbeacon {
namespace {

// Checks one second apart after start and after each user logon.
constexpr int32_t kBurstLength = 10;
// A Change event replays the last three checks of a burst.
constexpr int32_t kChangeBurstStart = 7;
// USB mode checks every pass until the trace takes over at this pass.
constexpr int kStartupPasses = 10;
constexpr DWORD kPassMs = 1000;
constexpr DWORD kTraceJoinMs = 8000;
constexpr DWORD kListenerJoinMs = 1000;

}  // namespace

bool Watcher::Signaled(HANDLE event) {
    return system_.Wait(&event, 1, 0) == WAIT_OBJECT_0;
}

bool Watcher::WaitForStop(DWORD timeoutMs) {
    const HANDLE stop = state_.stopEvent.load();
    return system_.Wait(&stop, 1, timeoutMs) == WAIT_OBJECT_0;
}

Watcher::Wake Watcher::WaitForWake(HANDLE event, DWORD timeoutMs) {
    HANDLE handles[3] = {state_.stopEvent.load()};
    Wake wakes[3] = {Wake::Stop};
    DWORD count = 1;
    if (event != nullptr) {
        wakes[count] = Wake::Event;
        handles[count++] = event;
    }
    if (HANDLE records = system_.RecordsChanged()) {
        wakes[count] = Wake::Records;
        handles[count++] = records;
    }
    const DWORD result = system_.Wait(handles, count, timeoutMs);
    return result - WAIT_OBJECT_0 < count ? wakes[result - WAIT_OBJECT_0] : Wake::Timeout;
}

bool Watcher::CaptureActivity() {
    return system_.RecordsHoldCamera() != 0 || state_.publisher.published() == CameraState::On;
}

void Watcher::SetIfPresent(EventId id) {
    if (HANDLE event = state_.events.get(id)) {
        state_.events.api().setEvent(event);
    }
}

void Watcher::CheckAndPublish(bool countPipes) {
    // The setting listener may turn the switch off while the check runs and
    // force "off" meanwhile; an "on" found by this check must not undo that.
    // The switch is read again after publishing, so an "off" forced between
    // the read and the publish is restored at once.
    const bool inUse = system_.CheckDevices(countPipes) == 1 && state_.switchOn != 0;
    state_.publisher.Publish(inUse ? CameraState::On : CameraState::Off);
    if (inUse && state_.switchOn == 0) {
        state_.publisher.Publish(CameraState::Off);
    }
}

void Watcher::StartIndicators() {
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

void Watcher::RunWorker() {
    if (system_.ReadNoPhysicalCameraLed()) {
        return;  // no camera light to stand in for: stay idle until stopped
    }
    state_.events.Create();
    state_.switchOn = system_.ReadShowOsd() ? 1 : 0;
    HANDLE enable = state_.events.get(EventId::SettingEnable);
    if (state_.switchOn != 0 && enable != nullptr) {
        state_.events.api().setEvent(enable);
    }
    const bool listener = system_.StartSettingListener();

    if (state_.switchOn == 0) {
        // Wait for the user to turn the indicator on, or for the stop.
        const HANDLE handles[2] = {state_.stopEvent.load(), enable};
        if (system_.Wait(handles, enable != nullptr ? 2 : 1, INFINITE) == WAIT_OBJECT_0 + 1) {
            state_.switchOn = 1;
            system_.WriteShowOsd(true);
        }
        if (state_.switchOn == 0) {
            if (listener) {
                system_.JoinSettingListener(kListenerJoinMs);
            }
            return;
        }
    }

    state_.ready = 1;
    const EventApi& api = state_.events.api();
    EventHandle traceActive(api, api.createEvent(nullptr, TRUE, FALSE, nullptr));
    EventHandle traceIdle(api, api.createEvent(nullptr, TRUE, TRUE, nullptr));
    system_.RegisterMonitorPower();

    if (!Signaled(state_.stopEvent.load())) {
        StartIndicators();
        system_.FreeDeviceCache();
        system_.StartRecordWatch();
        if (system_.ReadCheckUsbCamera()) {
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

void Watcher::RunUsbWatch(HANDLE traceActive, HANDLE traceIdle) {
    int pass = 0;
    bool traceStarted = false;
    for (;;) {
        if (state_.monitorOn != 0 && state_.switchOn != 0 &&
            (pass < kStartupPasses || system_.TraceIdle() == 0 || CaptureActivity())) {
            CheckAndPublish(true);
        }

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

void Watcher::ConsumeChange(HANDLE change) {
    state_.events.api().resetEvent(change);
    // Compare and swap: a user logon that sets the counter to 0 meanwhile
    // keeps its full burst.
    int32_t count = state_.pollCounter.load();
    while (count >= kChangeBurstStart &&
           !state_.pollCounter.compare_exchange_weak(count, kChangeBurstStart)) {
    }
}

void Watcher::RunChangeDrivenWatch() {
    for (;;) {
        const bool burst = state_.pollCounter < kBurstLength;
        if (state_.monitorOn != 0 && state_.switchOn != 0 && (burst || CaptureActivity())) {
            CheckAndPublish(false);
        }
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
            if (WaitForWake(nullptr, kPassMs) == Wake::Stop) {
                return;
            }
            continue;
        }
        if (!Signaled(change)) {
            const Wake wake = WaitForWake(change, CaptureActivity() ? kPassMs : INFINITE);
            if (wake == Wake::Stop) {
                return;
            }
            if (wake == Wake::Event) {
                ConsumeChange(change);
            }
            continue;
        }
        // A Change that arrived during the burst: one pass later, replay.
        ConsumeChange(change);
        if (WaitForStop(kPassMs)) {
            return;
        }
    }
}

void Watcher::RunSettingListener() {
    const HANDLE stop = state_.stopEvent.load();
    HANDLE pulse = state_.events.get(EventId::SettingChange);
    if (stop == nullptr || state_.events.get(EventId::SettingEnable) == nullptr ||
        pulse == nullptr) {
        return;
    }
    const HANDLE handles[2] = {stop, pulse};
    for (;;) {
        const DWORD result = system_.Wait(handles, 2, INFINITE);
        if (result == WAIT_OBJECT_0) {
            return;
        }
        if (result == WAIT_OBJECT_0 + 1) {
            OnSettingChange();
        }
    }
}

void Watcher::OnSettingChange() {
    const bool enabled = Signaled(state_.events.get(EventId::SettingEnable));
    if (enabled == (state_.switchOn != 0)) {
        return;
    }
    state_.switchOn = enabled ? 1 : 0;
    if (enabled) {
        SetIfPresent(EventId::Change);  // look at the camera again
    } else {
        state_.publisher.Publish(CameraState::Off);  // hide a visible indicator now
    }
    system_.WriteShowOsd(enabled);
}

}  // namespace lensbeacon
