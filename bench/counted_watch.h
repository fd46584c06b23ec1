// The service's own watch loop, run inside the benchmark to count the device
// checks it makes: the service's checks cannot be seen from outside it. A
// WatchWorker runs over a WatchPort that passes every call on to a real
// Win32WatchPort and counts the CheckDevices calls, so beside the installed
// service it looks at the same devices and records at the same moments. It
// differs from the service in what would reach other programs: its events
// have no names, so nothing it publishes reaches the suite's programs, and it
// finds no console session, so it starts no indicator (the service runs
// them); being no service, it registers for no monitor power notification.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "camera_publisher.h"
#include "lensbeacon/unique_owner.h"
#include "watch_worker.h"
#include "watch_state.h"
#include "watch_port_win32.h"

namespace lensbeacon::bench {

// Passes every call on to the real system; counts the device checks begun
// and ended.
class CountingWatchPort : public WatchPort {
  public:
    explicit CountingWatchPort(WatchState& state) : real_(state) {}

    uint32_t checksBegun() const { return begun_.load(); }
    uint32_t checksEnded() const { return ended_.load(); }

    int CheckDevices(bool countPipes, bool liveRecordHeld) override {
        begun_.fetch_add(1);
        const int result = real_.CheckDevices(countPipes, liveRecordHeld);
        ended_.fetch_add(1);
        return result;
    }

    // No console session: the installed service starts the indicators.
    ConsoleSession FindConsoleSession() override { return {}; }
    void StartLogonIndicator(DWORD) override {}
    void StartSessionLauncher(DWORD) override {}
    // Monitor power notifications go to a service status handle.
    void RegisterMonitorPower() override {}
    void UnregisterMonitorPower() override {}

    bool ReadNoPhysicalCameraLed() override { return real_.ReadNoPhysicalCameraLed(); }
    bool ReadShowOsd() override { return real_.ReadShowOsd(); }
    bool ReadCheckUsbCamera() override { return real_.ReadCheckUsbCamera(); }
    void WriteShowOsd(bool on) override { real_.WriteShowOsd(on); }
    ServicePolicy ReadPolicy() override { return real_.ReadPolicy(); }
    HANDLE ArmPolicyWatch() override { return real_.ArmPolicyWatch(); }
    void FreeDeviceCache() override { real_.FreeDeviceCache(); }
    DWORD Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) override {
        return real_.Wait(handles, count, timeoutMs);
    }
    uint64_t TickMs() override { return real_.TickMs(); }
    bool StartSettingListener() override { return real_.StartSettingListener(); }
    void JoinSettingListener(DWORD timeoutMs) override { real_.JoinSettingListener(timeoutMs); }
    void HandOverToTrace(HANDLE active, HANDLE idle) override {
        real_.HandOverToTrace(active, idle);
    }
    bool StartTraceThread() override { return real_.StartTraceThread(); }
    int32_t TraceIdle() override { return real_.TraceIdle(); }
    void EndTrace() override { real_.EndTrace(); }
    void JoinTraceThread(DWORD timeoutMs) override { real_.JoinTraceThread(timeoutMs); }
    void StartRecordWatch() override { real_.StartRecordWatch(); }
    HANDLE RecordsChanged() override { return real_.RecordsChanged(); }
    int32_t RecordsHoldCamera() override { return real_.RecordsHoldCamera(); }
    int32_t LiveRecordHoldsCamera() override { return real_.LiveRecordHoldsCamera(); }
    void RecordsUserLoggedOn(const std::wstring& sid) override { real_.RecordsUserLoggedOn(sid); }
    void RecordsUserLoggedOff(const std::wstring& sid) override { real_.RecordsUserLoggedOff(sid); }
    // No sessions: the installed service serves them.
    std::vector<DWORD> ListSessions() override { return {}; }
    std::wstring SessionUserSid(DWORD) override { return {}; }
    void StopRecordWatch() override { real_.StopRecordWatch(); }

  private:
    Win32WatchPort real_;
    std::atomic<uint32_t> begun_{0};
    std::atomic<uint32_t> ended_{0};
};

// The watch loop on a thread of its own, from construction until
// destruction, in the mode the settings key and the policy choose.
class CountedWatch {
  public:
    CountedWatch();
    ~CountedWatch();
    CountedWatch(const CountedWatch&) = delete;
    CountedWatch& operator=(const CountedWatch&) = delete;

    // False when the loop's thread or stop event could not be made.
    bool running() const { return static_cast<bool>(thread_); }
    uint32_t checksBegun() const { return system_.checksBegun(); }
    uint32_t checksEnded() const { return system_.checksEnded(); }
    CameraState published() const { return state_.publisher.published(); }

  private:
    static DWORD WINAPI WorkerMain(LPVOID parameter);

    WatchState state_;
    CountingWatchPort system_{state_};
    WatchWorker worker_{state_, system_};
    UniqueHandle stop_;
    UniqueHandle thread_;
};

}  // namespace lensbeacon::bench
