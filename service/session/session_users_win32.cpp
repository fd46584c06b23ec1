#include "session_users_win32.h"

#include <sddl.h>
#include <wtsapi32.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon {
namespace {

using UniqueSessionList = UniqueOwner<PWTS_SESSION_INFOW, ::WTSFreeMemory>;

}  // namespace

std::vector<DWORD> ListSessionIds() {
    PWTS_SESSION_INFOW sessions = nullptr;
    DWORD count = 0;
    if (!::WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count)) {
        return {};
    }
    const UniqueSessionList owner(sessions);
    std::vector<DWORD> ids;
    for (DWORD i = 0; i < count; ++i) {
        ids.push_back(sessions[i].SessionId);
    }
    return ids;
}

std::wstring QuerySessionUserSid(DWORD session) {
    UniqueHandle token;
    if (!::WTSQueryUserToken(session, token.put())) {
        return {};
    }
    DWORD size = 0;
    if (::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size) ||
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size < sizeof(TOKEN_USER)) {
        return {};
    }
    const UniqueLocalMemory buffer(::LocalAlloc(LMEM_FIXED, size));
    if (!buffer || !::GetTokenInformation(token.get(), TokenUser, buffer.get(), size, &size)) {
        return {};
    }
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(static_cast<const TOKEN_USER*>(buffer.get())->User.Sid, &text)) {
        return {};
    }
    const UniqueLocalMemory owner(text);
    return std::wstring(text);
}

}  // namespace lensbeacon
