// The watch's system interfaces over the real calls. The setting listener's:
// registry settings, the policy key and its watch, WaitForMultipleObjects and
// the tick count. The worker's, around the listener's: the setupapi device
// check, the setting listener and trace threads, the record watch, monitor
// power registration, the sessions' users and launches into sessions.
#pragma once

#include <windows.h>

#include <memory>

#include "camera_trace.h"
#include "camera_use_watch.h"
#include "device_check.h"
#include "device_system_setupapi.h"
#include "lensbeacon/unique_owner.h"
#include "monitor_power.h"
#include "policy_watch.h"
#include "session_launch.h"
#include "session_users_win32.h"
#include "trace_session.h"
#include "watch_state.h"
#include "watch_system.h"

namespace lensbeacon {

class Win32SettingSystem : public SettingSystem {
  public:
    bool ReadShowOsd() override;
    void WriteShowOsd(bool on) override;
    ServicePolicy ReadPolicy() override;
    HANDLE ArmPolicyWatch() override { return policyWatch_.Arm(); }
    DWORD Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) override;
    uint64_t TickMs() override { return ::GetTickCount64(); }

  private:
    PolicyKeyWatch policyWatch_;  // the setting listener's own
};

class Win32WatchSystem : public WatchSystem {
  public:
    explicit Win32WatchSystem(WatchState& state);

    // Recipient of the monitor power notifications.
    void SetStatusHandle(SERVICE_STATUS_HANDLE handle) { statusHandle_ = handle; }

    bool ReadShowOsd() override { return settings_.ReadShowOsd(); }
    void WriteShowOsd(bool on) override { settings_.WriteShowOsd(on); }
    ServicePolicy ReadPolicy() override { return settings_.ReadPolicy(); }
    HANDLE ArmPolicyWatch() override { return settings_.ArmPolicyWatch(); }
    DWORD Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) override {
        return settings_.Wait(handles, count, timeoutMs);
    }
    uint64_t TickMs() override { return settings_.TickMs(); }

    bool ReadNoPhysicalCameraLed() override;
    bool ReadCheckUsbCamera() override;
    int CheckDevices(bool countPipes, bool liveRecordHeld) override;
    void FreeDeviceCache() override { cache_.Free(); }
    bool StartSettingListener() override;
    void JoinSettingListener(DWORD timeoutMs) override;
    void RegisterMonitorPower() override { monitorPower_.Register(statusHandle_); }
    void UnregisterMonitorPower() override { monitorPower_.Unregister(); }
    ConsoleSession FindConsoleSession() override;
    void StartLogonIndicator(DWORD session) override;
    void StartSessionLauncher(DWORD session) override;
    std::vector<DWORD> ListSessions() override { return ListSessionIds(); }
    std::wstring SessionUserSid(DWORD session) override { return QuerySessionUserSid(session); }
    void HandOverToTrace(HANDLE active, HANDLE idle) override;
    bool StartTraceThread() override { return trace_.Start(); }
    int32_t TraceIdle() override { return traceShared_.idle.load(std::memory_order_relaxed); }
    void EndTrace() override { traceShared_.Withdraw(); }
    void JoinTraceThread(DWORD timeoutMs) override { trace_.Stop(timeoutMs); }
    void StartRecordWatch() override { recordsRunning_ = records_.Start(); }
    HANDLE RecordsChanged() override { return recordsRunning_ ? records_.changed() : nullptr; }
    int32_t RecordsHoldCamera() override { return recordsRunning_ ? records_.holding() : 0; }
    int32_t LiveRecordHoldsCamera() override;
    void RecordsUserLoggedOn(const std::wstring& sid) override { records_.UserLoggedOn(sid); }
    void RecordsUserLoggedOff(const std::wstring& sid) override { records_.UserLoggedOff(sid); }
    void StopRecordWatch() override {
        records_.Stop(CameraUseWatch::kJoinMs);
        recordsRunning_ = false;
    }

  private:
    static DWORD WINAPI SettingListenerMain(LPVOID parameter);

    WatchState& state_;
    Win32SettingSystem settings_;  // the setting listener's system
    std::unique_ptr<DeviceSystem> devices_;
    DeviceCache cache_;
    SessionLauncher launcher_;
    MonitorPowerRegistration monitorPower_;
    SERVICE_STATUS_HANDLE statusHandle_ = nullptr;
    TraceShared traceShared_;
    TraceThread trace_{traceShared_};
    UniqueHandle listener_;
    CameraUseWatch records_;
    bool recordsRunning_ = false;  // the worker's own
};

}  // namespace lensbeacon
