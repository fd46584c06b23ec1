// The security given to the service's named events: Everyone may open an
// event only with the rights the suite's own programs use on it, and
// LocalSystem keeps full access. Nobody else can set the camera state or
// rewrite an event's DACL.
#pragma once

#include <windows.h>

#include "lensbeacon/unique_owner.h"
#include "service_events.h"  // kWaitOnlyAccess, kWaitAndSignalAccess

namespace lensbeacon {

// An absolute security descriptor with a two-ACE DACL: Everyone with the given
// rights, then LocalSystem with EVENT_ALL_ACCESS. Build() fails as a whole when
// any allocation or security call fails, and the owner stays empty.
class EventSecurity {
  public:
    [[nodiscard]] bool Build(DWORD everyoneAccess);
    [[nodiscard]] bool valid() const { return static_cast<bool>(descriptor_); }
    SECURITY_ATTRIBUTES* attributes() { return valid() ? &attributes_ : nullptr; }

  private:
    UniqueLocalMemory descriptor_;
    UniqueLocalMemory acl_;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace lensbeacon
