// The person logged on to each session, by SID, as the service learnt it: at
// the watch's start, at each logon, and when a session is first seen. A
// session's token may be gone by the time it logs off, so its SID is known
// beforehand; the record watch lets go of that person's hive at the logoff.
//
// Strings do not fit an atomic word, so this is handed over rather than
// shared: the worker fills it before it sets `ready`, and from then on only
// the control handler uses it.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "watch_port.h"

namespace lensbeacon {

class SessionUsers {
  public:
    // Every session there is now.
    void LearnAll(WatchPort& system);
    // One session, unless it is known already; `again` learns it afresh,
    // as at a logon, since session numbers are used again.
    void Learn(WatchPort& system, DWORD session, bool again);
    // The person who logged off `session`, who has no other session left:
    // their SID, or empty when it is not known or another session of theirs
    // keeps their hive loaded. The session is forgotten.
    [[nodiscard]] std::wstring LoggedOff(WatchPort& system, DWORD session);
    // The SID learnt for `session`; empty when none was.
    [[nodiscard]] std::wstring Find(DWORD session) const;

  private:
    std::map<DWORD, std::wstring> users_;
};

}  // namespace lensbeacon
