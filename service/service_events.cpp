#include "service_events.h"

#include "event_security.h"

namespace lensbeacon {
namespace {

DWORD WINAPI RealLastError() {
    return ::GetLastError();
}

constexpr std::array<EventTraits, kEventCount> kTraits = {{
    {TRUE, FALSE, kWaitOnlyAccess},        // On
    {TRUE, TRUE, kWaitOnlyAccess},         // Off
    {TRUE, FALSE, kWaitAndSignalAccess},   // Change
    {TRUE, FALSE, kWaitOnlyAccess},        // Service
    {TRUE, FALSE, kWaitAndSignalAccess},   // Setting Enable
    {FALSE, FALSE, kWaitAndSignalAccess},  // Setting Change
}};

}  // namespace

const EventApi& RealEventApi() {
    static const EventApi api = {::CreateEventW, ::SetEvent, ::ResetEvent, RealLastError};
    return api;
}

const EventTraits& TraitsOf(EventId id) {
    return kTraits[static_cast<std::size_t>(id)];
}

void ServiceEvents::Create() {
    EventSecurity waitOnly;
    EventSecurity waitAndSignal;
    if (!waitOnly.Build(kWaitOnlyAccess) || !waitAndSignal.Build(kWaitAndSignalAccess)) {
        return;
    }
    for (std::size_t i = 0; i < kEventCount; ++i) {
        if (handles_[i]) {
            continue;
        }
        const EventTraits& traits = kTraits[i];
        EventSecurity& security =
            traits.everyoneAccess == kWaitOnlyAccess ? waitOnly : waitAndSignal;
        handles_[i].reset(api_.createEvent(security.attributes(), traits.manualReset,
                                           traits.initiallySignaled, kEventNames[i]));
        if (handles_[i] && api_.lastError() == ERROR_ALREADY_EXISTS) {
            if (traits.initiallySignaled) {
                api_.setEvent(handles_[i].get());
            } else {
                api_.resetEvent(handles_[i].get());
            }
        }
    }
}

void ServiceEvents::SignalEndAndClose() {
    if (HANDLE service = get(EventId::Service)) {
        api_.setEvent(service);
    }
    Close();
}

void ServiceEvents::Close() {
    for (EventId id : {EventId::Service, EventId::On, EventId::Off, EventId::Change,
                       EventId::SettingEnable, EventId::SettingChange}) {
        handles_[Index(id)].reset();
    }
}

}  // namespace lensbeacon
