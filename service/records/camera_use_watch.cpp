#include "camera_use_watch.h"

#include <chrono>
#include <cwchar>
#include <iterator>
#include <utility>

#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/registry_value.h"

namespace lensbeacon {
namespace {

// Whole subtree, new or deleted keys and changed values.
constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// The records live in the native view; on 32-bit Windows the flag is ignored.
constexpr REGSAM kRecordAccess = KEY_READ | KEY_WOW64_64KEY;
constexpr REGSAM kParentAccess = KEY_NOTIFY | KEY_WOW64_64KEY;

// "webcam" is made at a program's first use of the camera, and may be
// deleted and made again: its parent is watched for that.
constexpr wchar_t kParentSuffix[] = L"\\webcam";

}  // namespace

// One watched key with its notification's event and the thread-pool wait on
// that event. Members go in reverse order: the wait first, so no callback
// runs once the key and the event close.
struct Win32CameraUseWatch::Slot {
    Win32CameraUseWatch* watch = nullptr;
    std::wstring hive;
    bool parent = false;
    UniqueHandle event;
    UniqueRegKey key;
    UniqueThreadPoolWait wait;
    std::atomic<bool> fired{false};

    bool Arm() const {
        return ::RegNotifyChangeKeyValue(key.get(), parent ? FALSE : TRUE,
                                         parent ? REG_NOTIFY_CHANGE_NAME : kNotifyFilter,
                                         event.get(), TRUE) == ERROR_SUCCESS;
    }
};

Win32CameraUseWatch::Win32CameraUseWatch()
    : quit_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      handOver_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      fired_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      changed_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

Win32CameraUseWatch::~Win32CameraUseWatch() {
    Stop(kJoinMs);
}

bool Win32CameraUseWatch::Start() {
    if (thread_) {
        if (::WaitForSingleObject(thread_.get(), 0) != WAIT_OBJECT_0) {
            return true;  // still running (or not yet out of the last stop)
        }
        thread_.reset();
    }
    if (!quit_ || !handOver_ || !fired_ || !changed_ || !::ResetEvent(quit_.get())) {
        return false;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        running_ = true;
    }
    thread_.reset(::CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    if (!thread_) {
        const std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }
    return static_cast<bool>(thread_);
}

void Win32CameraUseWatch::Stop(DWORD timeoutMs) {
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

DWORD WINAPI Win32CameraUseWatch::ThreadMain(LPVOID parameter) {
    auto* self = static_cast<Win32CameraUseWatch*>(parameter);
    self->watch_.Run();
    {
        const std::lock_guard<std::mutex> lock(self->mutex_);
        self->running_ = false;
    }
    self->handedOver_.notify_all();
    return 0;
}

void Win32CameraUseWatch::HandOver(const std::wstring& sid, bool loggedOn) {
    std::unique_lock<std::mutex> lock(mutex_);
    handOvers_.push_back(HiveHandOver{sid, loggedOn});
    const uint32_t ticket = ++posted_;
    if (!::SetEvent(handOver_.get())) {
        return;  // taken at the next wake, or the next start
    }
    // A thread that does not run takes it when it starts.
    handedOver_.wait_for(lock, std::chrono::milliseconds(kJoinMs),
                         [this, ticket] { return done_ >= ticket || !running_; });
}

std::size_t Win32CameraUseWatch::OpenKeysIn(const std::wstring& hive) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::size_t count = 0;
    for (const auto& [id, slot] : slots_) {
        count += _wcsicmp(slot->hive.c_str(), hive.c_str()) == 0 ? 1u : 0u;
    }
    return count;
}

std::vector<std::wstring> Win32CameraUseWatch::ListPersonHives() {
    std::vector<std::wstring> hives;
    ForEachSubkeyName(HKEY_USERS, kMaxLoadedHives, [&hives](std::wstring hive) {
        if (IsPersonHiveName(hive)) {
            hives.push_back(std::move(hive));
        }
    });
    return hives;
}

RecordsKeyOpen Win32CameraUseWatch::Open(const std::wstring& hive, bool parent, RecordsKeyId& id) {
    std::wstring path = hive.empty() ? kCameraUseRecordsKey : hive + L"\\" + kCameraUseRecordsKey;
    if (parent) {
        path.resize(path.size() - (std::size(kParentSuffix) - 1));
    }
    auto slot = std::make_unique<Slot>();
    slot->watch = this;
    slot->hive = hive;
    slot->parent = parent;
    if (::RegOpenKeyExW(hive.empty() ? HKEY_LOCAL_MACHINE : HKEY_USERS, path.c_str(), 0,
                        parent ? kParentAccess : kRecordAccess, slot->key.put()) != ERROR_SUCCESS) {
        return RecordsKeyOpen::Missing;
    }
    slot->event.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!slot->event || !slot->Arm() ||
        !::RegisterWaitForSingleObject(slot->wait.put(), slot->event.get(), OnKeyFired, slot.get(),
                                       INFINITE, WT_EXECUTEINWAITTHREAD)) {
        return RecordsKeyOpen::Failed;
    }
    id = ++lastId_;
    const std::lock_guard<std::mutex> lock(mutex_);
    slots_.emplace(id, std::move(slot));
    return RecordsKeyOpen::Armed;
}

bool Win32CameraUseWatch::Rearm(RecordsKeyId id) {
    const auto slot = slots_.find(id);
    return slot != slots_.end() && slot->second->Arm();
}

void Win32CameraUseWatch::Close(RecordsKeyId id) {
    std::unique_ptr<Slot> closing;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto slot = slots_.find(id);
        if (slot == slots_.end()) {
            return;
        }
        closing = std::move(slot->second);
        slots_.erase(slot);
    }
    // Destroyed here, outside the lock: the wait's removal waits for a
    // callback under way.
}

bool Win32CameraUseWatch::RecordHeld(RecordsKeyId id) {
    const auto slot = slots_.find(id);
    return slot != slots_.end() && AnyRecordHoldsCamera(slot->second->key.get());
}

RecordsWake Win32CameraUseWatch::Wait(DWORD timeoutMs) {
    const HANDLE handles[] = {quit_.get(), handOver_.get(), fired_.get()};
    switch (::WaitForMultipleObjects(3, handles, FALSE, timeoutMs)) {
        case WAIT_OBJECT_0:
            return RecordsWake::Quit;
        case WAIT_OBJECT_0 + 1:
            return RecordsWake::HandOver;
        case WAIT_OBJECT_0 + 2:
            return RecordsWake::Fired;
        case WAIT_TIMEOUT:
            return RecordsWake::Timeout;
        default:
            return RecordsWake::Failed;
    }
}

RecordsWake Win32CameraUseWatch::Pause(DWORD timeoutMs) {
    const HANDLE handles[] = {quit_.get(), handOver_.get()};
    switch (::WaitForMultipleObjects(2, handles, FALSE, timeoutMs)) {
        case WAIT_OBJECT_0:
            return RecordsWake::Quit;
        case WAIT_OBJECT_0 + 1:
            return RecordsWake::HandOver;
        case WAIT_TIMEOUT:
            return RecordsWake::Timeout;
        default:
            ::Sleep(timeoutMs);  // a pause all the same
            return RecordsWake::Timeout;
    }
}

VOID CALLBACK Win32CameraUseWatch::OnKeyFired(PVOID context, BOOLEAN) {
    auto* slot = static_cast<Slot*>(context);
    slot->fired = true;
    ::SetEvent(slot->watch->fired_.get());
}

std::vector<RecordsKeyId> Win32CameraUseWatch::TakeFired() {
    std::vector<RecordsKeyId> fired;
    for (const auto& [id, slot] : slots_) {
        if (slot->fired.exchange(false)) {
            fired.push_back(id);
        }
    }
    return fired;
}

std::vector<HiveHandOver> Win32CameraUseWatch::TakeHandOvers() {
    const std::lock_guard<std::mutex> lock(mutex_);
    // Under the lock, so a hand-over posted after this take sets it again;
    // left set, it only brings a wake with nothing to take.
    ::ResetEvent(handOver_.get());
    taken_ = posted_;
    return std::exchange(handOvers_, {});
}

void Win32CameraUseWatch::HandOversDone() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        done_ = taken_;
    }
    handedOver_.notify_all();
}

void Win32CameraUseWatch::Publish(bool held) {
    // The flag is set before the event, so the loop reads the new value.
    holding_ = held ? 1 : 0;
    ::SetEvent(changed_.get());
}

}  // namespace lensbeacon
