#include "records_watch.h"

#include <algorithm>
#include <cwchar>
#include <utility>

#include "retry_pause.h"

namespace lensbeacon {
namespace {

// SIDs and hive names compare as registry key names do.
bool SameName(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::any_of(names.begin(), names.end(),
                       [&name](const std::wstring& other) { return SameName(other, name); });
}

}  // namespace

void RecordsWatch::Run() {
    TakeHandOvers();  // logons and logoffs while no watch ran
    StartOver();
    system_.HandOversDone();
    for (;;) {
        const bool down = down_;
        const RecordsWake wake = down ? system_.Pause(retryMs_) : system_.Wait(UntilRescan());
        if (wake == RecordsWake::Quit) {
            break;
        }
        if (wake == RecordsWake::Failed) {
            GoDown();
            continue;
        }
        if (!down) {
            retryMs_ = 0;  // the wait works: a later failure starts its pauses afresh
        }
        if (wake == RecordsWake::HandOver) {
            // A logoff's keys are closed before the handler hears back; a
            // hand-over during a pause retries at once.
            TakeHandOvers();
            StartOver();
            system_.HandOversDone();
        } else if (wake == RecordsWake::Fired) {
            OnFired();
        } else if (down || WantedHives() != hives_) {
            StartOver();  // the retry, or hives loaded or unloaded outside a logon
        } else {
            rescanAt_ = system_.TickMs() + kRescanMs;
        }
    }
    CloseAll();
}

void RecordsWatch::StartOver() {
    CloseAll();
    if (!WatchAll()) {
        GoDown();
        return;
    }
    down_ = false;
    rescanAt_ = system_.TickMs() + kRescanMs;
    ReadAll();
}

void RecordsWatch::GoDown() {
    // Nothing is watched until the retry, so nothing is known: the flag is
    // cleared rather than left to say "held" for good.
    CloseAll();
    hives_.clear();
    down_ = true;
    retryMs_ = NextRetryPauseMs(retryMs_);
    system_.Publish(false);
}

bool RecordsWatch::WatchAll() {
    hives_ = WantedHives();
    if (!Watch(std::wstring())) {
        return false;
    }
    return std::all_of(hives_.begin(), hives_.end(),
                       [this](const std::wstring& hive) { return Watch(hive); });
}

bool RecordsWatch::Watch(const std::wstring& hive) {
    // The parent's own subkeys are watched for the making and deletion of
    // "webcam": a deleted key tells its own watchers nothing everywhere. A
    // missing parent (an older Windows) gives no wake-ups.
    const RecordsKeyOpen parent = OpenKey(hive, true);
    if (parent != RecordsKeyOpen::Armed) {
        return parent == RecordsKeyOpen::Missing;
    }
    return OpenKey(hive, false) != RecordsKeyOpen::Failed;
}

RecordsKeyOpen RecordsWatch::OpenKey(const std::wstring& hive, bool parent) {
    RecordsKeyId id = 0;
    const RecordsKeyOpen result = system_.Open(hive, parent, id);
    if (result == RecordsKeyOpen::Armed) {
        watched_.push_back(Watched{id, parent});
    }
    return result;
}

void RecordsWatch::CloseAll() {
    for (const Watched& watched : watched_) {
        system_.Close(watched.id);
    }
    watched_.clear();
}

void RecordsWatch::ReadAll() {
    const bool held = std::any_of(watched_.begin(), watched_.end(), [this](const Watched& watched) {
        return !watched.parent && system_.RecordHeld(watched.id);
    });
    system_.Publish(held);
}

void RecordsWatch::OnFired() {
    // A notification fires once: it is armed again before the read, so a
    // change made during the read is not lost. A "webcam" key made or
    // deleted (its parent's watch fires), or one that cannot be armed again,
    // makes the watch start over with what is there now.
    bool fired = false;
    for (const RecordsKeyId id : system_.TakeFired()) {
        const auto watched = std::find_if(watched_.begin(), watched_.end(),
                                          [id](const Watched& w) { return w.id == id; });
        if (watched == watched_.end()) {
            continue;  // closed since it fired
        }
        if (watched->parent || !system_.Rearm(id)) {
            StartOver();
            return;
        }
        fired = true;
    }
    if (fired) {
        ReadAll();
    }
}

void RecordsWatch::TakeHandOvers() {
    for (HiveHandOver& handOver : system_.TakeHandOvers()) {
        std::erase_if(loggedOff_,
                      [&handOver](const std::wstring& sid) { return SameName(sid, handOver.sid); });
        if (!handOver.loggedOn && !handOver.sid.empty()) {
            loggedOff_.push_back(std::move(handOver.sid));
        }
    }
}

std::vector<std::wstring> RecordsWatch::WantedHives() {
    std::vector<std::wstring> hives = system_.ListPersonHives();
    // A hive let go that is loaded no more has been unloaded: whatever loads
    // it again (a logon, runas, a task) has it watched again.
    std::erase_if(loggedOff_, [&hives](const std::wstring& sid) { return !Contains(hives, sid); });
    std::erase_if(hives, [this](const std::wstring& hive) { return Contains(loggedOff_, hive); });
    std::sort(hives.begin(), hives.end());
    return hives;
}

DWORD RecordsWatch::UntilRescan() {
    const uint64_t now = system_.TickMs();
    return now >= rescanAt_ ? 0
                            : static_cast<DWORD>(std::min<uint64_t>(rescanAt_ - now, kRescanMs));
}

}  // namespace lensbeacon
