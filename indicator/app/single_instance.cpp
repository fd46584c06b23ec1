// The single-instance decision and its mutex and security calls.
#include "single_instance.h"

#include <aclapi.h>

namespace lensbeacon::indicator {
namespace {

// A token's user or default-owner SID, in a buffer the caller keeps.
bool TokenSid(HANDLE token, TOKEN_INFORMATION_CLASS kind, BYTE* buffer, DWORD size, PSID& sid) {
    DWORD needed = 0;
    if (!::GetTokenInformation(token, kind, buffer, size, &needed)) {
        return false;
    }
    if (kind == TokenUser) {
        sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    } else {
        sid = reinterpret_cast<TOKEN_OWNER*>(buffer)->Owner;
    }
    return sid != nullptr && ::IsValidSid(sid);
}

class Win32MutexPort final : public MutexPort {
  public:
    HANDLE OpenMutex(const wchar_t* name, DWORD& error) override {
        const HANDLE mutex = ::OpenMutexW(READ_CONTROL | SYNCHRONIZE, FALSE, name);
        error = mutex == nullptr ? ::GetLastError() : ERROR_SUCCESS;
        return mutex;
    }

    HANDLE CreateOwnedMutex(const wchar_t* name, bool& alreadyExisted) override {
        const HANDLE mutex = ::CreateMutexW(nullptr, TRUE, name);
        alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
        return mutex;
    }

    MutexOwner Owner(HANDLE mutex) override {
        PSID owner = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (::GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                              nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
            return MutexOwner::Unreadable;
        }
        const UniqueLocalMemory descriptorOwner(descriptor);
        if (owner == nullptr) {
            return MutexOwner::NotRecorded;
        }
        if (!::IsValidSid(owner)) {
            return MutexOwner::Unreadable;
        }
        UniqueHandle token;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
            return MutexOwner::Unreadable;
        }
        // Objects get the token's default owner, which for an elevated
        // administrator is the Administrators group rather than the user.
        alignas(TOKEN_USER) BYTE userBuffer[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
        alignas(TOKEN_OWNER) BYTE ownerBuffer[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_OWNER)];
        PSID user = nullptr;
        PSID defaultOwner = nullptr;
        const bool userRead =
            TokenSid(token.get(), TokenUser, userBuffer, sizeof(userBuffer), user);
        if (userRead && ::EqualSid(owner, user)) {
            return MutexOwner::ThisAccount;
        }
        const bool ownerRead =
            TokenSid(token.get(), TokenOwner, ownerBuffer, sizeof(ownerBuffer), defaultOwner);
        if (ownerRead && ::EqualSid(owner, defaultOwner)) {
            return MutexOwner::ThisAccount;
        }
        return userRead && ownerRead ? MutexOwner::OtherAccount : MutexOwner::Unreadable;
    }

    void CloseMutex(HANDLE mutex) override { ::CloseHandle(mutex); }
};

bool MeansAnotherInstance(MutexOwner owner) {
    return owner == MutexOwner::ThisAccount || owner == MutexOwner::NotRecorded;
}

}  // namespace

const wchar_t* InstanceMutexName(BOOL ordinaryDesktop) noexcept {
    return ordinaryDesktop ? kUserDesktopMutexName : kLogonDesktopMutexName;
}

InstanceDecision DecideInstance(const wchar_t* name, MutexPort& api) {
    InstanceDecision decision;
    DWORD openError = ERROR_SUCCESS;
    if (const HANDLE existing = api.OpenMutex(name, openError)) {
        decision.anotherInstance = MeansAnotherInstance(api.Owner(existing));
        api.CloseMutex(existing);
        return decision;
    }
    // Our own instances create the mutex with the default security, which
    // lets the same account open it: a name that exists but cannot be opened
    // (access denied, or another kind of object) is someone else's.
    if (openError != ERROR_FILE_NOT_FOUND) {
        return decision;
    }
    bool alreadyExisted = false;
    const HANDLE created = api.CreateOwnedMutex(name, alreadyExisted);
    if (created == nullptr) {
        return decision;
    }
    if (alreadyExisted) {
        // Another process created it just before us.
        decision.anotherInstance = MeansAnotherInstance(api.Owner(created));
        api.CloseMutex(created);
        return decision;
    }
    decision.held = created;
    return decision;
}

BOOL SingleInstance::Acquire(BOOL ordinaryDesktop) {
    Win32MutexPort api;
    const InstanceDecision decision = DecideInstance(InstanceMutexName(ordinaryDesktop), api);
    if (decision.held != nullptr) {
        mutex_.reset(decision.held);
    }
    return decision.anotherInstance ? FALSE : TRUE;
}

}  // namespace lensbeacon::indicator
