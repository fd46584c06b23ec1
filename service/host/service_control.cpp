#include "service_control.h"

#include <wtsapi32.h>

#include <cstring>

#include "monitor_power_guid.h"

namespace lensbeacon {

void ServiceStatusReporter::Report(DWORD state, DWORD accepted, DWORD waitHint, bool pending) {
    status_.dwCurrentState = state;
    status_.dwControlsAccepted = accepted;
    status_.dwWaitHint = waitHint;
    status_.dwCheckPoint = pending ? checkPoint_++ : 0;
    sink_(handle_, &status_);
}

DWORD ServiceControl::Handle(DWORD control, DWORD eventType, const void* eventData) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            OnStop();
            break;
        case SERVICE_CONTROL_SESSIONCHANGE:
            if (state_.ready != 0) {
                OnSessionChange(eventType, eventData);
            }
            break;
        case SERVICE_CONTROL_POWEREVENT:
            if (state_.ready != 0) {
                OnPowerEvent(eventType, eventData);
            }
            break;
        default:
            break;
    }
    return NO_ERROR;
}

void ServiceControl::OnStop() {
    if (reporter_.currentState() == SERVICE_STOP_PENDING) {
        return;
    }
    // Stop pending is reported before the worker is told to stop, so the
    // manager never sees the service stop before it was told a stop is
    // pending: once the event is set, the service main function may report
    // stopped at any moment.
    reporter_.StopPending();
    if (const HANDLE stop = state_.stopEvent.load()) {
        state_.events.api().setEvent(stop);
    }
}

bool ServiceControl::StopRequested() {
    const HANDLE stop = state_.stopEvent.load();
    return stop == nullptr || system_.Wait(&stop, 1, 0) == WAIT_OBJECT_0;
}

void ServiceControl::OnSessionChange(DWORD eventType, const void* eventData) {
    if (eventData == nullptr) {
        return;
    }
    const DWORD session = static_cast<const WTSSESSION_NOTIFICATION*>(eventData)->dwSessionId;
    // The session's user is learnt while its token is there: at its logon,
    // or whenever it is first seen.
    if (eventType != WTS_SESSION_LOGOFF) {
        state_.sessionUsers.Learn(system_, session, eventType == WTS_SESSION_LOGON);
    }
    switch (eventType) {
        case WTS_SESSION_LOGON:
            if (!StopRequested() && session != state_.userSessionServed) {
                state_.pollCounter = 0;
                if (HANDLE change = state_.events.get(EventId::Change)) {
                    state_.events.api().setEvent(change);
                }
                system_.StartSessionLauncher(session);
            }
            // A person's hive is loaded at logon: the record watch takes it in.
            system_.RecordsUserLoggedOn(state_.sessionUsers.Find(session));
            break;
        case WTS_SESSION_LOGOFF:
            if (session == state_.userSessionServed) {
                state_.userSessionServed = 0;
            }
            // The hive is unloaded after the logoff: the record watch lets go
            // of it first.
            system_.RecordsUserLoggedOff(state_.sessionUsers.LoggedOff(system_, session));
            break;
        case WTS_CONSOLE_CONNECT:
            if (!StopRequested() && session != state_.consoleSessionServed) {
                system_.StartLogonIndicator(session);
            }
            break;
        case WTS_CONSOLE_DISCONNECT:
            if (session == state_.consoleSessionServed) {
                state_.consoleSessionServed = 0;
            }
            break;
        default:
            break;
    }
}

void ServiceControl::OnPowerEvent(DWORD eventType, const void* eventData) {
    if (eventType != PBT_POWERSETTINGCHANGE || eventData == nullptr) {
        return;
    }
    const auto* setting = static_cast<const POWERBROADCAST_SETTING*>(eventData);
    if (std::memcmp(&setting->PowerSetting, &kMonitorPowerOn, sizeof(GUID)) != 0 ||
        setting->DataLength != sizeof(DWORD)) {
        return;
    }
    DWORD value = 0;
    std::memcpy(&value, setting->Data, sizeof(value));
    if (value == 0 || value == 1) {
        state_.monitorOn = static_cast<int32_t>(value);
    }
}

}  // namespace lensbeacon
