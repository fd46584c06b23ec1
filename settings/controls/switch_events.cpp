#include "controls/switch_events.h"

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::settings {

int QuerySwitchState() noexcept {
    return QuerySwitchStateOf(kSettingEnableEventName);
}

BOOL SetSwitchEvents(BOOL on) noexcept {
    return SetSwitchEventsOf(on, kSettingEnableEventName, kSettingChangeEventName);
}

int QuerySwitchStateOf(const wchar_t* enableName) noexcept {
    if (enableName == nullptr) {
        return kSwitchUndetermined;
    }
    UniqueHandle enable(::OpenEventW(SYNCHRONIZE, FALSE, enableName));
    if (!enable) {
        return kSwitchUndetermined;
    }
    // A manual-reset event: looking does not change it.
    return ::WaitForSingleObject(enable.get(), 0) == WAIT_OBJECT_0 ? kSwitchOn : kSwitchOff;
}

BOOL SetSwitchEventsOf(BOOL on, const wchar_t* enableName, const wchar_t* changeName) noexcept {
    if (enableName == nullptr || changeName == nullptr) {
        return FALSE;
    }
    UniqueHandle enable(::OpenEventW(EVENT_MODIFY_STATE, FALSE, enableName));
    UniqueHandle change(::OpenEventW(EVENT_MODIFY_STATE, FALSE, changeName));
    BOOL done = FALSE;
    if (enable && change) {
        const BOOL switched = on ? ::SetEvent(enable.get()) : ::ResetEvent(enable.get());
        // The service is told only of a switch that really changed.
        done = switched && ::SetEvent(change.get()) ? TRUE : FALSE;
    }
    enable.reset();
    change.reset();
    return done;
}

}  // namespace lensbeacon::settings
