#include "camera_use_watch.h"

#include <cstddef>
#include <iterator>
#include <string>

#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/registry_value.h"

namespace lensbeacon {
namespace {

// The thread waits on its quit and reload events plus one event per key.
constexpr std::size_t kFixedHandles = 2;
constexpr std::size_t kMaxWatched = MAXIMUM_WAIT_OBJECTS - kFixedHandles;
// Whole subtree, new or deleted keys and changed values.
constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// The records live in the native view; on 32-bit Windows the flag is ignored.
constexpr REGSAM kRecordAccess = KEY_READ | KEY_WOW64_64KEY;

// "webcam" is made at a program's first use of the camera, and may be
// deleted and made again: its parent is watched for that.
constexpr wchar_t kParentSuffix[] = L"\\webcam";

bool ArmNotification(HKEY key, HANDLE event, bool subtree) {
    const DWORD filter = subtree ? kNotifyFilter : REG_NOTIFY_CHANGE_NAME;
    return ::RegNotifyChangeKeyValue(key, subtree ? TRUE : FALSE, filter, event, TRUE) ==
           ERROR_SUCCESS;
}

}  // namespace

CameraUseWatch::CameraUseWatch()
    : quit_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      reload_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      changed_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

bool CameraUseWatch::Start() {
    if (thread_) {
        if (::WaitForSingleObject(thread_.get(), 0) != WAIT_OBJECT_0) {
            return true;  // still running (or not yet out of the last stop)
        }
        thread_.reset();
    }
    if (!quit_ || !reload_ || !changed_ || !::ResetEvent(quit_.get())) {
        return false;
    }
    thread_.reset(::CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

void CameraUseWatch::Stop(DWORD timeoutMs) {
    if (!thread_) {
        return;
    }
    ::SetEvent(quit_.get());
    // A thread that is slow to end is kept, so that no second one starts
    // beside it on the same state.
    if (::WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_OBJECT_0) {
        thread_.reset();
    }
    holding_ = 0;
}

void CameraUseWatch::ReloadHives() {
    if (reload_) {
        ::SetEvent(reload_.get());
    }
}

DWORD WINAPI CameraUseWatch::ThreadMain(LPVOID parameter) {
    static_cast<CameraUseWatch*>(parameter)->Run();
    return 0;
}

void CameraUseWatch::Run() {
    WatchAll();
    ReadAll();
    for (;;) {
        HANDLE handles[MAXIMUM_WAIT_OBJECTS] = {quit_.get(), reload_.get()};
        DWORD count = kFixedHandles;
        for (const Watched& watched : watched_) {
            handles[count++] = watched.event.get();
        }
        const DWORD result = ::WaitForMultipleObjects(count, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0 || result >= WAIT_OBJECT_0 + count) {
            break;  // quit, or a failed wait that would fail again at once
        }
        if (result == WAIT_OBJECT_0 + 1) {
            WatchAll();
        } else {
            // A notification fires once: arm it again before reading, so a
            // change made during the read is not lost. A "webcam" key made
            // or deleted (its parent's watch fires), or one that cannot be
            // armed again, makes the watch start over with what is there now.
            const auto fired = watched_.begin() +
                               static_cast<std::ptrdiff_t>(result - WAIT_OBJECT_0 - kFixedHandles);
            if (fired->parent || !ArmNotification(fired->key.get(), fired->event.get(), true)) {
                WatchAll();
            }
        }
        ReadAll();
    }
    watched_.clear();
}

void CameraUseWatch::WatchAll() {
    watched_.clear();
    Watch(HKEY_LOCAL_MACHINE, kCameraUseRecordsKey);
    ForEachSubkeyName(HKEY_USERS, kMaxLoadedHives, [this](std::wstring hive) {
        if (IsPersonHiveName(hive)) {
            Watch(HKEY_USERS, (hive + L"\\" + kCameraUseRecordsKey).c_str());
        }
    });
}

void CameraUseWatch::Watch(HKEY root, const wchar_t* subKey) {
    // The parent's own subkeys are watched for the making and deletion of
    // "webcam": a deleted key tells its own watchers nothing everywhere. A
    // missing parent (an older Windows) gives no wake-ups.
    std::wstring parent(subKey);
    parent.resize(parent.size() - (std::size(kParentSuffix) - 1));
    if (!Arm(root, parent.c_str(), KEY_NOTIFY | KEY_WOW64_64KEY, true)) {
        return;
    }
    Arm(root, subKey, kRecordAccess, false);
}

bool CameraUseWatch::Arm(HKEY root, const wchar_t* subKey, REGSAM access, bool parent) {
    if (watched_.size() >= kMaxWatched) {
        return false;
    }
    Watched watched;
    watched.parent = parent;
    if (::RegOpenKeyExW(root, subKey, 0, access, watched.key.put()) != ERROR_SUCCESS) {
        return false;
    }
    watched.event.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!watched.event || !ArmNotification(watched.key.get(), watched.event.get(), !parent)) {
        return false;
    }
    watched_.push_back(std::move(watched));
    return true;
}

void CameraUseWatch::ReadAll() {
    int32_t holding = 0;
    for (const Watched& watched : watched_) {
        if (!watched.parent && AnyRecordHoldsCamera(watched.key.get())) {
            holding = 1;
            break;
        }
    }
    // The flag is set before the event, so the loop reads the new value.
    holding_ = holding;
    ::SetEvent(changed_.get());
}

}  // namespace lensbeacon
