// The watch on Windows' record of camera use: a thread of its own that keeps
// a change notification armed on the "webcam" records of the machine and of
// every person's hive loaded under HKEY_USERS, reads them again at every
// change, and tells the watch loop through a flag and an auto-reset event.
// It is a second source of wake-ups beside the trace, never a judge: the
// device check still decides on or off.
//
// Registry notifications belong to the thread that armed them, so one thread
// arms, re-arms and reads everything; the control handler only asks it to
// enumerate the hives again (at a logon or logoff).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

class CameraUseWatch {
  public:
    CameraUseWatch();
    CameraUseWatch(const CameraUseWatch&) = delete;
    CameraUseWatch& operator=(const CameraUseWatch&) = delete;
    ~CameraUseWatch() { Stop(kJoinMs); }

    // Starts the thread unless it runs; false when it could not be started.
    bool Start();
    // Ends the thread, waiting up to `timeoutMs`. A thread that outlives the
    // wait keeps using this object, which the service never destroys, and
    // no other starts until it has ended.
    void Stop(DWORD timeoutMs);

    // Signaled (auto-reset) after every read of the records; null when the
    // event could not be created.
    HANDLE changed() const { return changed_.get(); }
    // 1 while, by the records as last read, some app holds the camera; its
    // program may have ended since (camera_use_live.h).
    int32_t holding() const { return holding_.load(); }
    // Asks the thread to enumerate the hives again; safe from any thread.
    void ReloadHives();

    static constexpr DWORD kJoinMs = 2000;

  private:
    // One watched "webcam" key, or the parent of a missing one, with its
    // own notification event.
    struct Watched {
        UniqueRegKey key;
        UniqueHandle event;
        bool parent = false;
    };

    static DWORD WINAPI ThreadMain(LPVOID parameter);
    void Run();
    void WatchAll();
    // Watches the "webcam" key at `subKey`, if it exists, and its parent.
    void Watch(HKEY root, const wchar_t* subKey);
    // Opens and arms one key; false when it is missing or cannot be armed.
    bool Arm(HKEY root, const wchar_t* subKey, REGSAM access, bool parent);
    void ReadAll();

    UniqueHandle quit_;
    UniqueHandle reload_;
    UniqueHandle changed_;
    UniqueHandle thread_;
    std::atomic<int32_t> holding_{0};
    std::vector<Watched> watched_;  // the thread's own
};

}  // namespace lensbeacon
