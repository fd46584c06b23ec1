// The watch on the organisation's policy key: a registry change notification
// on the whole subtree of SOFTWARE\Policies (of SOFTWARE where that does not
// exist), so the key's creation, change and deletion are all seen, armed
// again after every wake. A notification belongs to the thread that armed
// it, so one thread (the setting listener) makes every call.
#pragma once

#include <windows.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

class PolicyKeyWatch {
  public:
    // Opens the watched ancestor again and arms a notification; the event
    // it signals once, or null when none could be armed.
    [[nodiscard]] HANDLE Arm();

  private:
    UniqueRegKey key_;
    UniqueHandle event_;
};

}  // namespace lensbeacon
