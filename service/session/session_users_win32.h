// The sessions of this machine and the person logged on to each, by the real
// calls (WTSEnumerateSessionsW, WTSQueryUserToken); the watch's system passes
// them through.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lensbeacon {

// Every session's number; empty when they cannot be listed.
[[nodiscard]] std::vector<DWORD> ListSessionIds();

// The string SID of the user of `session`'s token: empty when the session
// has no user or its token cannot be had (the service needs LocalSystem's
// right to act as part of the operating system).
[[nodiscard]] std::wstring QuerySessionUserSid(DWORD session);

}  // namespace lensbeacon
