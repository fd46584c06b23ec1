// The real kernel and security calls behind the service's events.
#include <windows.h>

#include <new>

#include "event_security.h"
#include "service_events.h"

namespace lensbeacon {
namespace {

DWORD WINAPI RealLastError() {
    return ::GetLastError();
}

EventSecurity* BuildSecurity(DWORD everyoneAccess) {
    auto* security = new (std::nothrow) EventSecurity;
    if (security != nullptr && !security->Build(everyoneAccess)) {
        delete security;
        return nullptr;
    }
    return security;
}

SECURITY_ATTRIBUTES* AttributesOf(EventSecurity* security) {
    return security->attributes();
}

void FreeSecurity(EventSecurity* security) {
    delete security;
}

const EventPort kRealEventApi = {
    ::CreateEventW, ::SetEvent,    ::ResetEvent, RealLastError,
    ::CloseHandle,  BuildSecurity, AttributesOf, FreeSecurity,
};

}  // namespace

const EventPort& Win32EventPort() {
    return kRealEventApi;
}

}  // namespace lensbeacon
