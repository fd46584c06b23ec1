// A stand-in for the Win32 side's event security, for unit tests of the
// event core. These test programs do not link that side, so the class is
// defined here: each descriptor records the access it was built for.
#pragma once

#include <windows.h>

#include <vector>

#include "service_events.h"

namespace lensbeacon {

class EventSecurity {
  public:
    explicit EventSecurity(DWORD everyoneAccess) : access(everyoneAccess) {
        attributes.nLength = sizeof(attributes);
        attributes.lpSecurityDescriptor = this;  // any non-null descriptor
    }
    DWORD access;
    SECURITY_ATTRIBUTES attributes{};
};

namespace test {

// What the fake security calls did; `failing` lists the accesses whose
// descriptor cannot be built.
struct FakeSecurityLog {
    std::vector<DWORD> built;
    std::vector<DWORD> freed;
    std::vector<DWORD> failing;
};
inline FakeSecurityLog* g_securityLog = nullptr;

inline EventSecurity* FakeBuildSecurity(DWORD everyoneAccess) {
    if (g_securityLog != nullptr) {
        for (DWORD access : g_securityLog->failing) {
            if (access == everyoneAccess) {
                return nullptr;
            }
        }
        g_securityLog->built.push_back(everyoneAccess);
    }
    return new EventSecurity(everyoneAccess);
}
inline SECURITY_ATTRIBUTES* FakeSecurityAttributes(EventSecurity* security) {
    return &security->attributes;
}
inline void FakeFreeSecurity(EventSecurity* security) {
    if (g_securityLog != nullptr) {
        g_securityLog->freed.push_back(security->access);
    }
    delete security;
}

}  // namespace test
}  // namespace lensbeacon
