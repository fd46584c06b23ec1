// The watch on Windows' record of camera use: a thread of its own that keeps
// a change notification armed on the "webcam" records of the machine and of
// every person's hive loaded under HKEY_USERS, reads them again at every
// change, and tells the watch loop through a flag and an auto-reset event.
// It is a second source of wake-ups beside the trace, never a judge: the
// device check still decides on or off. What to watch and when is decided by
// RecordsWatch (records_watch.h); this class gives it the real calls.
//
// The thread arms and re-arms every notification itself: a notification
// belongs to the thread that armed it, and this one outlives its keys.
// Thread-pool waits stand in for it on the keys' events, so any number of
// hives can be watched; each only marks its key and wakes the thread. The
// control handler hands over logons and logoffs.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lensbeacon/unique_owner.h"
#include "records_watch.h"

namespace lensbeacon {

class Win32CameraUseWatch : private RecordsWatchPort {
  public:
    Win32CameraUseWatch();
    Win32CameraUseWatch(const Win32CameraUseWatch&) = delete;
    Win32CameraUseWatch& operator=(const Win32CameraUseWatch&) = delete;
    ~Win32CameraUseWatch() override;

    // Starts the thread unless it runs; false when it could not be started.
    [[nodiscard]] bool Start();
    // Ends the thread, waiting up to `timeoutMs`. A thread that outlives the
    // wait keeps using this object, which the service never destroys, and
    // no other starts until it has ended.
    void Stop(DWORD timeoutMs);

    // Signaled (auto-reset) after every read of the records; null when the
    // event could not be created.
    [[nodiscard]] HANDLE changed() const { return changed_.get(); }
    // 1 while, by the records as last read, some app holds the camera; its
    // program may have ended since (camera_use_live.h). 0 while the watch is
    // down after a failure.
    [[nodiscard]] int32_t holding() const { return holding_.load(); }

    // A person logged on (their SID, or empty when it is not known): the
    // hives are enumerated again, theirs taken back in if it was let go.
    void UserLoggedOn(const std::wstring& sid) { HandOver(sid, true); }
    // A person logged off: every key in their hive is closed, and the hive
    // is left alone until they log on again or it is unloaded. An empty SID
    // only has the hives enumerated again.
    void UserLoggedOff(const std::wstring& sid) { HandOver(sid, false); }

    // The keys the watch holds open in `hive` (empty: the machine's), for
    // tests: in Wine an open key does not keep a hive from being unloaded.
    [[nodiscard]] std::size_t OpenKeysIn(const std::wstring& hive) const;

    static constexpr DWORD kJoinMs = 2000;

  private:
    struct Slot;

    // Safe from any thread. While the thread runs, returns once it has acted
    // on the hand-over, or after kJoinMs.
    void HandOver(const std::wstring& sid, bool loggedOn);

    [[nodiscard]] std::vector<std::wstring> ListPersonHives() override;
    RecordsKeyOpen Open(const std::wstring& hive, bool parent, RecordsKeyId& id) override;
    [[nodiscard]] bool Rearm(RecordsKeyId id) override;
    void Close(RecordsKeyId id) override;
    [[nodiscard]] bool RecordHeld(RecordsKeyId id) override;
    RecordsWake Wait(DWORD timeoutMs) override;
    RecordsWake Pause(DWORD timeoutMs) override;
    [[nodiscard]] std::vector<RecordsKeyId> TakeFired() override;
    [[nodiscard]] std::vector<HiveHandOver> TakeHandOvers() override;
    void HandOversDone() override;
    void Publish(bool held) override;
    [[nodiscard]] uint64_t TickMs() override { return ::GetTickCount64(); }

    static DWORD WINAPI ThreadMain(LPVOID parameter);
    static VOID CALLBACK OnKeyFired(PVOID slot, BOOLEAN timedOut);

    UniqueHandle quit_;
    UniqueHandle handOver_;  // auto-reset: a hand-over is waiting
    UniqueHandle fired_;     // auto-reset: some key's notification fired
    UniqueHandle changed_;
    UniqueHandle thread_;
    std::atomic<int32_t> holding_{0};

    // A SID does not fit an atomic word: the hand-overs, and the count of
    // those acted on, pass under a lock.
    mutable std::mutex mutex_;
    std::condition_variable handedOver_;
    std::vector<HiveHandOver> handOvers_;
    uint32_t posted_ = 0;
    uint32_t taken_ = 0;
    uint32_t done_ = 0;
    bool running_ = false;
    // Open, closed and armed by the thread only; changed under the lock so
    // that OpenKeysIn can count them.
    std::map<RecordsKeyId, std::unique_ptr<Slot>> slots_;
    RecordsKeyId lastId_ = 0;

    RecordsWatch watch_{*this};
};

}  // namespace lensbeacon
