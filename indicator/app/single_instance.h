// One indicator per desktop kind: the user-desktop instance holds the mutex
// "Lensbeacon Mutex", the logon-desktop instance "Lensbeacon Mutex (Winlogon)",
// so one of each can run side by side.
//
// An existing mutex of the name counts as a running instance only when its
// owner is this process's own account. The names live in the session's
// namespace, which every account in the session can create objects in: a
// mutex another account made first (say an ordinary user squatting on the
// logon-desktop name, where the instance runs as SYSTEM) must not keep the
// indicator off the lock screen. Against such a foreign object the program
// starts anyway, without holding any mutex; the same applies when the name
// is taken by an object that cannot be opened as a mutex.
#pragma once

#include <windows.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {

inline constexpr const wchar_t* kUserDesktopMutexName = L"Lensbeacon Mutex";
inline constexpr const wchar_t* kLogonDesktopMutexName = L"Lensbeacon Mutex (Winlogon)";

const wchar_t* InstanceMutexName(BOOL ordinaryDesktop) noexcept;

// Whose an existing mutex is. Windows gives every kernel object an owner
// from its creator's token; a system that records none (Wine does not) has
// no accounts to tell apart there, so such a mutex is honoured as our own.
enum class MutexOwner {
    ThisAccount,   // the token's user or default owner
    OtherAccount,  // any other owner
    NotRecorded,   // the object carries no owner
    Unreadable,    // the owner or the token could not be read
};

// The mutex calls the single-instance decision makes.
class MutexPort {
  public:
    virtual ~MutexPort() = default;
    // OpenMutexW(READ_CONTROL | SYNCHRONIZE, FALSE, name): the handle, or
    // null with `error` set from GetLastError.
    [[nodiscard]] virtual HANDLE OpenMutex(const wchar_t* name, DWORD& error) = 0;
    // CreateMutexW(no attributes, initial owner TRUE, name): the handle or
    // null; `alreadyExisted` is GetLastError() == ERROR_ALREADY_EXISTS.
    [[nodiscard]] virtual HANDLE CreateOwnedMutex(const wchar_t* name, bool& alreadyExisted) = 0;
    // Whose the mutex is, from its owner (GetSecurityInfo) and the process
    // token's user and default owner.
    virtual MutexOwner Owner(HANDLE mutex) = 0;
    virtual void CloseMutex(HANDLE mutex) = 0;
};

struct InstanceDecision {
    bool anotherInstance = false;  // another instance of this account runs: end now
    HANDLE held = nullptr;         // the mutex this instance keeps, or null
};

// Looks for an instance of this account under `name` and, if there is none,
// creates and holds the mutex. A mutex of this account, or one without an
// owner, means another instance; one of another account, or whose owner
// cannot be read, is passed by (a second indicator does less harm than none).
// Every handle that is not `held` is closed.
[[nodiscard]] InstanceDecision DecideInstance(const wchar_t* name, MutexPort& api);

// The program's single-instance mutex, held until Release or destruction.
class SingleInstance {
  public:
    // TRUE when this instance may run (holding the mutex, or against a
    // foreign one holding none); FALSE when another instance runs on this
    // kind of desktop.
    [[nodiscard]] BOOL Acquire(BOOL ordinaryDesktop);
    // Closes the mutex, if one is held.
    void Release() noexcept { mutex_.reset(); }
    [[nodiscard]] bool Holds() const noexcept { return static_cast<bool>(mutex_); }

  private:
    UniqueHandle mutex_;
};

}  // namespace lensbeacon::indicator
