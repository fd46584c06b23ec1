#include "service_events.h"

namespace lensbeacon {
namespace {

void FreeEventSecurity(const EventPort& api, EventSecurity* security) {
    api.freeSecurity(security);
}
using SecurityOwner = ApiOwner<const EventPort, EventSecurity*, FreeEventSecurity>;

constexpr std::array<EventTraits, kEventCount> kTraits = {{
    {TRUE, FALSE, kWaitOnlyAccess},        // On
    {TRUE, TRUE, kWaitOnlyAccess},         // Off
    {TRUE, FALSE, kWaitAndSignalAccess},   // Change
    {TRUE, FALSE, kWaitOnlyAccess},        // Service
    {TRUE, FALSE, kWaitAndSignalAccess},   // Setting Enable
    {FALSE, FALSE, kWaitAndSignalAccess},  // Setting Change
}};

}  // namespace

const EventTraits& TraitsOf(EventId id) {
    return kTraits[static_cast<std::size_t>(id)];
}

void ServiceEvents::Create(bool settingEnableOn) {
    const SecurityOwner waitOnly(api_, api_.buildSecurity(kWaitOnlyAccess));
    if (!waitOnly) {
        return;
    }
    const SecurityOwner waitAndSignal(api_, api_.buildSecurity(kWaitAndSignalAccess));
    if (!waitAndSignal) {
        return;
    }
    for (std::size_t i = 0; i < kEventCount; ++i) {
        if (handles_[i]) {
            continue;
        }
        const EventTraits& traits = kTraits[i];
        EventSecurity* security =
            traits.everyoneAccess == kWaitOnlyAccess ? waitOnly.get() : waitAndSignal.get();
        const BOOL initial = i == Index(EventId::SettingEnable) ? (settingEnableOn ? TRUE : FALSE)
                                                                : traits.initiallySignaled;
        handles_[i].reset(api_.createEvent(api_.securityAttributes(security), traits.manualReset,
                                           initial, kEventNames[i]));
        if (handles_[i] && api_.lastError() == ERROR_ALREADY_EXISTS) {
            if (initial) {
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
