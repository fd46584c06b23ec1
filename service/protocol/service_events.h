// The service's six named events: created once at the start of the watch, in
// the suite's fixed order, and closed at its end.
#pragma once

#include <windows.h>

#include <array>

#include "lensbeacon/api_owner.h"
#include "lensbeacon/names.h"

namespace lensbeacon {

// Everyone's rights on the events the other programs only wait on.
inline constexpr DWORD kWaitOnlyAccess = SYNCHRONIZE;
// Everyone's rights on the events the other programs also set or reset.
inline constexpr DWORD kWaitAndSignalAccess = SYNCHRONIZE | EVENT_MODIFY_STATE;

// A security descriptor for the events, built by the Win32 side
// (event_security.h); the core only passes it on.
class EventSecurity;

// The kernel and security calls the events are made with; tests substitute
// recording fakes.
struct EventPort {
    HANDLE(WINAPI* createEvent)(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR);
    BOOL(WINAPI* setEvent)(HANDLE);
    BOOL(WINAPI* resetEvent)(HANDLE);
    DWORD(WINAPI* lastError)();
    BOOL(WINAPI* closeHandle)(HANDLE);
    // Security granting Everyone `everyoneAccess`; null when it cannot be
    // built. Released with freeSecurity.
    EventSecurity* (*buildSecurity)(DWORD everyoneAccess);
    SECURITY_ATTRIBUTES* (*securityAttributes)(EventSecurity* security);
    void (*freeSecurity)(EventSecurity* security);
};
[[nodiscard]] const EventPort& Win32EventPort();

inline void CloseEventHandle(const EventPort& api, HANDLE handle) {
    api.closeHandle(handle);
}
// An event handle from the api, closed through it once.
using EventHandle = ApiOwner<const EventPort, HANDLE, CloseEventHandle>;

// Reset mode and initial state of each event, and what everyone may do with it.
struct EventTraits {
    BOOL manualReset;
    BOOL initiallySignaled;
    DWORD everyoneAccess;
};
[[nodiscard]] const EventTraits& TraitsOf(EventId id);

class ServiceEvents {
  public:
    explicit ServiceEvents(const EventPort& api = Win32EventPort())
        : api_(api), handles_{EventHandle(api), EventHandle(api), EventHandle(api),
                              EventHandle(api), EventHandle(api), EventHandle(api)} {}

    // Creates every event whose handle is still empty, in table order. When
    // the event's security cannot be built, none is created. An event that
    // already exists (held by an indicator of an earlier run) is brought to
    // its initial state, so no stale "on", "service ending" or switch state
    // leaks into this run. Setting Enable starts in `settingEnableOn`, the
    // switch's state, rather than its table state.
    void Create(bool settingEnableOn = false);

    // Sets the Service event, then closes every handle in the order Service,
    // On, Off, Change, Setting Enable, Setting Change.
    void SignalEndAndClose();

    // Closes every handle in the same order without signalling.
    void Close();

    [[nodiscard]] HANDLE get(EventId id) const { return handles_[Index(id)].get(); }
    [[nodiscard]] const EventPort& api() const { return api_; }

  private:
    [[nodiscard]] static constexpr std::size_t Index(EventId id) {
        return static_cast<std::size_t>(id);
    }

    const EventPort& api_;
    std::array<EventHandle, kEventCount> handles_;
};

}  // namespace lensbeacon
