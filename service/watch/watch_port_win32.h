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
#include "device_port_win32.h"
#include "lensbeacon/unique_owner.h"
#include "monitor_power.h"
#include "policy_watch.h"
#include "session_launch.h"
#include "session_users_win32.h"
#include "trace_session.h"
#include "watch_state.h"
#include "watch_port.h"

namespace lensbeacon {

class Win32SettingPort : public SettingPort {
  public:
    [[nodiscard]] bool ReadShowOsd() override;
    void WriteShowOsd(bool on) override;
    [[nodiscard]] ServicePolicy ReadPolicy() override;
    [[nodiscard]] HANDLE ArmPolicyWatch() override { return policyWatch_.Arm(); }
    [[nodiscard]] DWORD Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) override;
    [[nodiscard]] uint64_t TickMs() override { return ::GetTickCount64(); }

  private:
    PolicyKeyWatch policyWatch_;  // the setting listener's own
};

class Win32WatchPort : public WatchPort {
  public:
    explicit Win32WatchPort(WatchState& state);

    // Recipient of the monitor power notifications.
    void SetStatusHandle(SERVICE_STATUS_HANDLE handle) { statusHandle_ = handle; }

    [[nodiscard]] bool ReadShowOsd() override { return settings_.ReadShowOsd(); }
    void WriteShowOsd(bool on) override { settings_.WriteShowOsd(on); }
    [[nodiscard]] ServicePolicy ReadPolicy() override { return settings_.ReadPolicy(); }
    [[nodiscard]] HANDLE ArmPolicyWatch() override { return settings_.ArmPolicyWatch(); }
    [[nodiscard]] DWORD Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) override {
        return settings_.Wait(handles, count, timeoutMs);
    }
    [[nodiscard]] uint64_t TickMs() override { return settings_.TickMs(); }

    [[nodiscard]] bool ReadNoPhysicalCameraLed() override;
    [[nodiscard]] bool ReadCheckUsbCamera() override;
    [[nodiscard]] int CheckDevices(bool countPipes, bool liveRecordHeld) override;
    void FreeDeviceCache() override { cache_.Free(); }
    [[nodiscard]] bool StartSettingListener() override;
    void JoinSettingListener(DWORD timeoutMs) override;
    void RegisterMonitorPower() override { monitorPower_.Register(statusHandle_); }
    void UnregisterMonitorPower() override { monitorPower_.Unregister(); }
    [[nodiscard]] ConsoleSession FindConsoleSession() override;
    void StartLogonIndicator(DWORD session) override;
    void StartSessionLauncher(DWORD session) override;
    [[nodiscard]] std::vector<DWORD> ListSessions() override { return ListSessionIds(); }
    [[nodiscard]] std::wstring SessionUserSid(DWORD session) override {
        return QuerySessionUserSid(session);
    }
    void HandOverToTrace(HANDLE active, HANDLE idle) override;
    [[nodiscard]] bool StartTraceThread() override { return trace_.Start(); }
    [[nodiscard]] int32_t TraceIdle() override {
        return traceShared_.idle.load(std::memory_order_relaxed);
    }
    void EndTrace() override { traceShared_.Withdraw(); }
    void JoinTraceThread(DWORD timeoutMs) override {
        // The clean-up goes on after the wait, whether the trace ended or not.
        static_cast<void>(trace_.Stop(timeoutMs));
    }
    void StartRecordWatch() override { recordsRunning_ = records_.Start(); }
    [[nodiscard]] HANDLE RecordsChanged() override {
        return recordsRunning_ ? records_.changed() : nullptr;
    }
    [[nodiscard]] int32_t RecordsHoldCamera() override {
        return recordsRunning_ ? records_.holding() : 0;
    }
    [[nodiscard]] int32_t LiveRecordHoldsCamera() override;
    void RecordsUserLoggedOn(const std::wstring& sid) override { records_.UserLoggedOn(sid); }
    void RecordsUserLoggedOff(const std::wstring& sid) override { records_.UserLoggedOff(sid); }
    void StopRecordWatch() override {
        records_.Stop(Win32CameraUseWatch::kJoinMs);
        recordsRunning_ = false;
    }

  private:
    static DWORD WINAPI SettingListenerMain(LPVOID parameter);

    WatchState& state_;
    Win32SettingPort settings_;  // the setting listener's system
    std::unique_ptr<DevicePort> devices_;
    DeviceCache cache_;
    SessionLauncher launcher_;
    MonitorPowerRegistration monitorPower_;
    SERVICE_STATUS_HANDLE statusHandle_ = nullptr;
    TraceShared traceShared_;
    TraceThread trace_{traceShared_};
    UniqueHandle listener_;
    Win32CameraUseWatch records_;
    bool recordsRunning_ = false;  // the worker's own
};

}  // namespace lensbeacon
