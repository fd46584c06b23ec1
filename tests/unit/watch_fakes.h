// A WatchPort on a virtual clock: waits return at once, advancing time and
// running the test's scripted actions when they fall due. The shared events
// are real but unnamed, so tests never touch the machine-wide objects.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "lensbeacon/unique_owner.h"
#include "fake_event_security.h"
#include "service_events.h"
#include "watch_port.h"

namespace lensbeacon::test {

// EventPort whose events are unnamed; remembers every set and reset by name.
class UnnamedEventPort {
  public:
    UnnamedEventPort();
    ~UnnamedEventPort();
    const EventPort& api() const { return api_; }
    // Names of the events set, and of those reset, in order ("" for
    // unnamed ones).
    std::vector<std::wstring> sets;
    std::vector<std::wstring> resets;
    // Called with each event's name right after it is made.
    std::function<void(const std::wstring& name)> afterCreate;
    int closes = 0;  // handles closed through the api

  private:
    EventPort api_;
};

class FakeWatchPort : public WatchPort {
  public:
    explicit FakeWatchPort(HANDLE stopEvent) : stop_(stopEvent) {}

    // Runs `action` when the virtual clock reaches `atMs`.
    void At(int64_t atMs, std::function<void()> action) { script_.emplace(atMs, action); }
    int64_t now() const { return now_; }

    struct Check {
        int64_t atMs;
        bool countPipes;
        bool liveRecordHeld;
    };
    std::vector<Check> checks;
    std::vector<int64_t> CheckTimes() const;
    std::function<int(int64_t)> deviceResult = [](int64_t) { return 0; };

    bool noLed = false;
    bool showOsd = true;
    bool usbMode = false;
    std::vector<bool> showOsdWrites;
    bool listenerStarts = true;
    std::vector<DWORD> listenerJoins;
    std::function<void()> onListenerJoin;
    int cacheFrees = 0;
    ConsoleSession console{1, true};
    std::vector<std::wstring> launches;  // "logon N" / "user N"
    std::vector<std::string> calls;      // monitor, trace and join calls in order

    int32_t traceIdle = 1;
    HANDLE traceActive = nullptr;
    HANDLE traceIdleEvent = nullptr;
    int64_t handOverAtMs = -1;
    int traceThreadStarts = 0;
    bool traceStartSucceeds = true;
    std::function<void()> onTraceStart;

    // The record of camera use: a test sets `recordsHold` (1 = a live record
    // holds the camera), then the event.
    UniqueHandle recordsEvent{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    int32_t recordsHold = 0;
    int32_t recordsLive = 0;  // the held record's program runs
    int recordWatchStarts = 0, recordWatchStops = 0;
    // The SIDs the record watch was told of, "" where none was known.
    std::vector<std::wstring> recordsLogons, recordsLogoffs;
    // A change of the records; a held record is live unless `live` says not.
    void RecordsChangeAt(int64_t atMs, int32_t hold, bool live = true) {
        At(atMs, [this, hold, live] {
            recordsHold = hold;
            recordsLive = hold != 0 && live ? 1 : 0;
            ::SetEvent(recordsEvent.get());
        });
    }
    // The held record's program ends; the records do not change.
    void HolderEndsAt(int64_t atMs) {
        At(atMs, [this] { recordsLive = 0; });
    }

    ServicePolicy policy;  // a test changes it, then sets policyEvent
    UniqueHandle policyEvent{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    int policyArms = 0;
    std::vector<int64_t> policyArmTimes;
    int policyArmFailures = 0;   // the next arms that fail
    int policyWaitFailures = 0;  // the next waits on the policy's event that fail

    // The sessions there are, and the SIDs of those whose token can be had.
    std::vector<DWORD> sessions;
    std::map<DWORD, std::wstring> sessionSids;

    bool ReadNoPhysicalCameraLed() override { return noLed; }
    bool ReadShowOsd() override { return showOsd; }
    bool ReadCheckUsbCamera() override { return usbMode; }
    void WriteShowOsd(bool on) override { showOsdWrites.push_back(on); }
    ServicePolicy ReadPolicy() override { return policy; }
    HANDLE ArmPolicyWatch() override;
    int CheckDevices(bool countPipes, bool liveRecordHeld) override;
    void FreeDeviceCache() override { ++cacheFrees; }
    DWORD Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) override;
    uint64_t TickMs() override { return static_cast<uint64_t>(now_); }
    bool StartSettingListener() override { return listenerStarts; }
    void JoinSettingListener(DWORD timeoutMs) override {
        listenerJoins.push_back(timeoutMs);
        if (onListenerJoin) {
            onListenerJoin();
        }
    }
    void RegisterMonitorPower() override { calls.push_back("register"); }
    void UnregisterMonitorPower() override { calls.push_back("unregister"); }
    ConsoleSession FindConsoleSession() override { return console; }
    void StartLogonIndicator(DWORD session) override;
    void StartSessionLauncher(DWORD session) override;
    std::vector<DWORD> ListSessions() override { return sessions; }
    std::wstring SessionUserSid(DWORD session) override;
    void HandOverToTrace(HANDLE active, HANDLE idle) override;
    bool StartTraceThread() override;
    int32_t TraceIdle() override { return traceIdle; }
    void EndTrace() override { calls.push_back("end trace"); }
    void JoinTraceThread(DWORD timeoutMs) override;
    void StartRecordWatch() override { ++recordWatchStarts; }
    HANDLE RecordsChanged() override {
        return recordWatchStarts > recordWatchStops ? recordsEvent.get() : nullptr;
    }
    int32_t RecordsHoldCamera() override { return recordsHold; }
    int32_t LiveRecordHoldsCamera() override { return recordsLive; }
    void RecordsUserLoggedOn(const std::wstring& sid) override { recordsLogons.push_back(sid); }
    void RecordsUserLoggedOff(const std::wstring& sid) override { recordsLogoffs.push_back(sid); }
    void StopRecordWatch() override { ++recordWatchStops; }

  private:
    HANDLE stop_;
    int64_t now_ = 0;
    std::multimap<int64_t, std::function<void()>> script_;
};

}  // namespace lensbeacon::test
