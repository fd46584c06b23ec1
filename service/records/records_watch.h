// The decisions of the watch on Windows' record of camera use, as plain code
// over the registry and the waits it needs (RecordsWatchPort): which keys to
// watch, what each wake means, when to enumerate the hives again, which hives
// to leave alone, and how to come back after a failure. One thread runs it;
// Win32CameraUseWatch wires in the real calls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lensbeacon {

// A key the system opened and armed for the watch; never 0.
using RecordsKeyId = uint32_t;

enum class RecordsKeyOpen {
    Armed,    // open, its notification armed and waited for
    Missing,  // not there, or not readable: nothing to watch
    Failed,   // there, but its notification could not be armed or waited for
};

enum class RecordsWake { Quit, HandOver, Fired, Timeout, Failed };

// A logon or logoff as the control handler hands it over: the person's SID,
// or empty when it could not be learnt.
struct HiveHandOver {
    std::wstring sid;
    bool loggedOn = false;
};

class RecordsWatchPort {
  public:
    virtual ~RecordsWatchPort() = default;

    // The people's hives loaded under HKEY_USERS, by name.
    [[nodiscard]] virtual std::vector<std::wstring> ListPersonHives() = 0;
    // Opens the "webcam" records key of `hive` (empty: the machine's) and
    // arms a notification on its whole subtree; with `parent`, its parent,
    // armed for its own subkeys only. `id` is set when Armed.
    virtual RecordsKeyOpen Open(const std::wstring& hive, bool parent, RecordsKeyId& id) = 0;
    // Arms a fired key's notification again; false when it cannot be.
    [[nodiscard]] virtual bool Rearm(RecordsKeyId id) = 0;
    virtual void Close(RecordsKeyId id) = 0;
    // Whether any record under an open records key holds the camera.
    [[nodiscard]] virtual bool RecordHeld(RecordsKeyId id) = 0;

    // Waits up to `timeoutMs` for the quit, a hand-over or a fired key.
    virtual RecordsWake Wait(DWORD timeoutMs) = 0;
    // The pause before a retry: waits `timeoutMs` for the quit or a
    // hand-over only, and takes that long even if the wait itself fails.
    virtual RecordsWake Pause(DWORD timeoutMs) = 0;
    // The keys that fired since the last call.
    [[nodiscard]] virtual std::vector<RecordsKeyId> TakeFired() = 0;
    // The logons and logoffs handed over since the last call, in order.
    [[nodiscard]] virtual std::vector<HiveHandOver> TakeHandOvers() = 0;
    // What was taken has been acted on: the hives of those who logged off
    // have no key open any more.
    virtual void HandOversDone() = 0;

    // Sets the "held" flag, then signals the change.
    virtual void Publish(bool held) = 0;
    [[nodiscard]] virtual uint64_t TickMs() = 0;  // a monotonic clock
};

class RecordsWatch {
  public:
    explicit RecordsWatch(RecordsWatchPort& system) : system_(system) {}
    RecordsWatch(const RecordsWatch&) = delete;
    RecordsWatch& operator=(const RecordsWatch&) = delete;

    // The watch thread's whole run, until the quit; every key is closed when
    // it returns. What it learnt of logoffs stays for the next run.
    void Run();

    // The hives are enumerated again this often, for hives loaded outside a
    // logon (runas, scheduled tasks, services).
    static constexpr DWORD kRescanMs = 60'000;

  private:
    struct Watched {
        RecordsKeyId id;
        bool parent;
    };

    // Closes every key and opens what is there now; down when an arm fails.
    void StartOver();
    [[nodiscard]] bool WatchAll();
    [[nodiscard]] bool Watch(const std::wstring& hive);
    RecordsKeyOpen OpenKey(const std::wstring& hive, bool parent);
    void CloseAll();
    void GoDown();
    void ReadAll();
    void OnFired();
    void TakeHandOvers();
    // The people's hives to watch, sorted: those loaded, less the ones let go.
    [[nodiscard]] std::vector<std::wstring> WantedHives();
    [[nodiscard]] DWORD UntilRescan();

    RecordsWatchPort& system_;
    // The rest is the watch thread's own.
    std::vector<Watched> watched_;
    std::vector<std::wstring> hives_;      // the hives watched, as WantedHives gave them
    std::vector<std::wstring> loggedOff_;  // let go: their user logged off
    bool down_ = false;                    // nothing watched until the next retry
    DWORD retryMs_ = 0;                    // the next pause; 0 after a wait that worked
    uint64_t rescanAt_ = 0;
};

}  // namespace lensbeacon
