#include "policy_watch.h"

namespace lensbeacon {
namespace {

// Ancestors of the policy key that are never deleted, nearest first: a
// notification armed on a key that is then deleted may never fire again, and
// Group Policy may delete and create the policy key and its parent. The
// whole subtree is watched; SOFTWARE exists on every system.
constexpr const wchar_t* kWatchedKeys[] = {
    L"SOFTWARE\\Policies",
    L"SOFTWARE",
};
// Keys created or deleted anywhere below, and values written or deleted.
constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// Group Policy writes the native view; on 32-bit Windows the flag is ignored.
constexpr REGSAM kWatchAccess = KEY_NOTIFY | KEY_WOW64_64KEY;

}  // namespace

HANDLE PolicyKeyWatch::Arm() {
    // Closing a key may complete its pending notification: the event is
    // cleared after the close, and the policy is read after the arming, so
    // no change is lost.
    key_.reset();
    if (!event_) {
        event_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!event_) {
            return nullptr;
        }
    }
    if (!::ResetEvent(event_.get())) {
        return nullptr;
    }
    for (const wchar_t* path : kWatchedKeys) {
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, kWatchAccess, key_.put()) ==
            ERROR_SUCCESS) {
            break;
        }
    }
    if (!key_ || ::RegNotifyChangeKeyValue(key_.get(), TRUE, kNotifyFilter, event_.get(), TRUE) !=
                     ERROR_SUCCESS) {
        key_.reset();
        return nullptr;
    }
    return event_.get();
}

}  // namespace lensbeacon
