#include "session_users.h"

#include <cwchar>
#include <utility>

namespace lensbeacon {

void SessionUsers::LearnAll(WatchPort& system) {
    for (const DWORD session : system.ListSessions()) {
        Learn(system, session, false);
    }
}

void SessionUsers::Learn(WatchPort& system, DWORD session, bool again) {
    if (!again && users_.count(session) != 0) {
        return;
    }
    std::wstring sid = system.SessionUserSid(session);
    if (sid.empty()) {
        users_.erase(session);
    } else {
        users_[session] = std::move(sid);
    }
}

std::wstring SessionUsers::LoggedOff(WatchPort& system, DWORD session) {
    std::wstring sid;
    const auto known = users_.find(session);
    if (known != users_.end()) {
        sid = std::move(known->second);
        users_.erase(known);
    } else {
        sid = system.SessionUserSid(session);  // the token may still be there
    }
    for (const auto& [other, otherSid] : users_) {
        if (_wcsicmp(otherSid.c_str(), sid.c_str()) == 0) {
            return std::wstring();  // still signed in elsewhere: the hive stays loaded
        }
    }
    return sid;
}

std::wstring SessionUsers::Find(DWORD session) const {
    const auto known = users_.find(session);
    return known != users_.end() ? known->second : std::wstring();
}

}  // namespace lensbeacon
