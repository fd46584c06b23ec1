// The record watch's decisions on a virtual clock: retries after failed waits
// and arms, hives loaded outside a logon, and the hives of people who logged
// off.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "records_watch.h"

namespace lensbeacon {
namespace {

constexpr wchar_t kAda[] = L"S-1-5-21-1-2-3-1001";
constexpr wchar_t kBob[] = L"S-1-5-21-1-2-3-1002";
// Ten virtual hours: a watch still running then has lost its way.
constexpr uint64_t kRunawayMs = 10ULL * 3600 * 1000;

// The machine's records and every loaded hive's exist; waits return at once,
// advancing the clock and running the test's scripted actions when they
// fall due.
class FakeRecordsWatchPort : public RecordsWatchPort {
  public:
    void At(uint64_t atMs, std::function<void()> action) { script_.emplace(atMs, action); }
    // The key of `hive` ("" the machine's) changes.
    void Change(const std::wstring& hive) {
        for (const auto& [id, key] : open) {
            if (key.hive == hive && !key.parent) {
                fired_.push_back(id);
            }
        }
    }
    void HandOver(const std::wstring& sid, bool loggedOn) {
        handOvers_.push_back(HiveHandOver{sid, loggedOn});
    }
    std::size_t OpenIn(const std::wstring& hive) const {
        std::size_t count = 0;
        for (const auto& [id, key] : open) {
            count += key.hive == hive ? 1u : 0u;
        }
        return count;
    }
    bool Held() const { return !published.empty() && published.back(); }

    struct Key {
        std::wstring hive;
        bool parent;
    };
    uint64_t now = 0;
    std::vector<std::wstring> hives;  // loaded under HKEY_USERS
    std::vector<std::wstring> held;   // hives whose records hold the camera
    int armFailures = 0;              // the next opens that cannot be armed
    int waitFailures = 0;             // the next waits that fail
    bool rearmFails = false;
    std::map<RecordsKeyId, Key> open;
    int opens = 0, lists = 0;
    std::vector<DWORD> pauses;
    std::size_t openDuringPauses = 0;
    std::vector<bool> published;
    std::function<void()> onHandOversDone;

    std::vector<std::wstring> ListPersonHives() override {
        ++lists;
        return hives;
    }
    RecordsKeyOpen Open(const std::wstring& hive, bool parent, RecordsKeyId& id) override {
        if (!hive.empty() && std::find(hives.begin(), hives.end(), hive) == hives.end()) {
            return RecordsKeyOpen::Missing;
        }
        if (armFailures > 0) {
            --armFailures;
            return RecordsKeyOpen::Failed;
        }
        id = ++lastId_;
        open[id] = Key{hive, parent};
        ++opens;
        return RecordsKeyOpen::Armed;
    }
    bool Rearm(RecordsKeyId id) override { return open.count(id) != 0 && !rearmFails; }
    void Close(RecordsKeyId id) override { EXPECT_EQ(open.erase(id), 1u); }
    bool RecordHeld(RecordsKeyId id) override {
        return std::find(held.begin(), held.end(), open.at(id).hive) != held.end();
    }
    RecordsWake Wait(DWORD timeoutMs) override {
        if (waitFailures > 0) {
            --waitFailures;
            return RecordsWake::Failed;
        }
        return Advance(timeoutMs, true);
    }
    RecordsWake Pause(DWORD timeoutMs) override {
        pauses.push_back(timeoutMs);
        openDuringPauses = std::max(openDuringPauses, open.size());
        return Advance(timeoutMs, false);
    }
    std::vector<RecordsKeyId> TakeFired() override { return std::exchange(fired_, {}); }
    std::vector<HiveHandOver> TakeHandOvers() override { return std::exchange(handOvers_, {}); }
    void HandOversDone() override {
        if (onHandOversDone) {
            onHandOversDone();
        }
    }
    void Publish(bool isHeld) override { published.push_back(isHeld); }
    uint64_t TickMs() override { return now; }

  private:
    RecordsWake Advance(DWORD timeoutMs, bool keys) {
        const uint64_t deadline = now + timeoutMs;
        for (;;) {
            if (quit_) {
                return RecordsWake::Quit;
            }
            if (!handOvers_.empty()) {
                return RecordsWake::HandOver;
            }
            if (keys && !fired_.empty()) {
                return RecordsWake::Fired;
            }
            const auto next = script_.begin();
            if (next != script_.end() && next->first <= deadline) {
                now = std::max(now, next->first);
                const auto action = next->second;
                script_.erase(next);
                action();
                continue;
            }
            if (script_.empty() || now > kRunawayMs) {
                quit_ = true;  // nothing left to happen: end the run
                continue;
            }
            now = deadline;
            return RecordsWake::Timeout;
        }
    }

    bool quit_ = false;
    RecordsKeyId lastId_ = 0;
    std::vector<RecordsKeyId> fired_;
    std::vector<HiveHandOver> handOvers_;
    std::multimap<uint64_t, std::function<void()>> script_;
};

struct RecordsWatchTest : ::testing::Test {
    // Runs `check` at `ms` and keeps what it says.
    void CheckAt(uint64_t ms, std::function<bool()> check) {
        system.At(ms, [this, check] { seen.push_back(check()); });
    }
    void Run() {
        RecordsWatch(system).Run();
        EXPECT_TRUE(system.open.empty()) << "keys left open at the end";
    }
    FakeRecordsWatchPort system;
    std::vector<bool> seen;
};

TEST_F(RecordsWatchTest, AFailedWaitTakesTheWatchDownUntilARetryAfterPausesThatDouble) {
    system.hives = {kAda};
    system.held = {kAda};
    // Eight waits fail in a row from 5 s on.
    system.At(5'000, [this] {
        system.waitFailures = 8;
        system.Change(kAda);
    });
    CheckAt(5'500, [this] { return !system.Held() && system.open.empty(); });
    // Up since 5 s + 183 s of pauses; a wait that works, then one more
    // failure, which pauses a second again.
    CheckAt(190'000, [this] { return system.Held() && system.OpenIn(kAda) == 2; });
    system.At(200'000, [this] { system.Change(kAda); });
    system.At(200'001, [this] {
        system.waitFailures = 1;
        system.Change(kAda);
    });
    system.At(300'000, [] {});
    Run();
    EXPECT_EQ(system.pauses, (std::vector<DWORD>{1'000, 2'000, 4'000, 8'000, 16'000, 32'000, 60'000,
                                                 60'000, 1'000}));
    EXPECT_EQ(system.openDuringPauses, 0u);
    EXPECT_EQ(seen, (std::vector<bool>{true, true}));
    EXPECT_TRUE(system.Held());
}

TEST_F(RecordsWatchTest, AnArmThatFailsIsRetriedAfterAPauseAndNothingIsHeldMeanwhile) {
    system.hives = {kAda, kBob};
    system.held = {L""};  // the machine's records hold the camera
    system.armFailures = 3;
    CheckAt(6'999, [this] { return !system.Held() && system.open.empty(); });
    CheckAt(7'001, [this] { return system.Held() && system.open.size() == 6; });
    // A key that fires and cannot be armed again makes the watch start over
    // at once, without a pause.
    system.At(10'000, [this] {
        system.rearmFails = true;
        system.Change(kBob);
    });
    CheckAt(10'001, [this] { return system.opens == 12 && system.open.size() == 6; });
    Run();
    EXPECT_EQ(system.pauses, (std::vector<DWORD>{1'000, 2'000, 4'000}));
    EXPECT_EQ(system.published.front(), false);
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true}));
}

TEST_F(RecordsWatchTest, AHiveLoadedOutsideALogonIsWatchedWithinAMinute) {
    system.hives = {kAda};
    // Records keep changing every ten seconds: the minute is kept all the same.
    for (uint64_t at = 10'000; at < 200'000; at += 10'000) {
        system.At(at, [this] { system.Change(kAda); });
    }
    system.At(30'000, [this] { system.hives.push_back(kBob); });  // runas, a task
    CheckAt(59'999, [this] { return system.OpenIn(kBob) == 0; });
    CheckAt(60'001, [this] { return system.OpenIn(kBob) == 2; });
    // Nothing changes after that: a listing a minute, and no key opened again.
    int opens = 0, lists = 0;
    system.At(60'002, [&] {
        opens = system.opens;
        lists = system.lists;
    });
    CheckAt(180'001, [&] { return system.opens == opens && system.lists == lists + 2; });
    Run();
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true}));
}

TEST_F(RecordsWatchTest, ALogoffClosesTheHivesKeysBeforeTheHandlerHearsBack) {
    system.hives = {kAda, kBob};
    system.HandOver(kBob, false);  // logged off while no watch ran: never opened
    std::vector<std::size_t> adaKeysWhenDone;
    system.onHandOversDone = [&] { adaKeysWhenDone.push_back(system.OpenIn(kAda)); };
    CheckAt(9'999, [this] { return system.OpenIn(kAda) == 2 && system.OpenIn(kBob) == 0; });
    system.At(10'000, [this] { system.HandOver(kAda, false); });
    // Someone else logs on, and a minute passes: both hives still left alone.
    system.At(20'000, [this] { system.HandOver(L"", true); });
    CheckAt(80'001, [this] { return system.OpenIn(kAda) + system.OpenIn(kBob) == 0; });
    system.At(90'000, [this] { system.HandOver(kAda, true); });
    CheckAt(90'001, [this] { return system.OpenIn(kAda) == 2; });
    // Bob's hive is unloaded, then loaded again by a task: watched once seen.
    system.At(100'000, [this] { system.hives = {kAda}; });
    system.At(200'000, [this] { system.hives = {kAda, kBob}; });
    CheckAt(210'001, [this] { return system.OpenIn(kBob) == 2; });
    Run();
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(adaKeysWhenDone, (std::vector<std::size_t>{2, 0, 0, 2}));
}

}  // namespace
}  // namespace lensbeacon
