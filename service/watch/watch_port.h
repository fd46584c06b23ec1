// Everything the worker and the setting listener need from the system
// besides the shared events: settings, the organisation's policy and its
// change notification, device checks, waits with time-outs and a clock, the
// setting listener and trace threads, the record of camera use, monitor power
// registration, the sessions' users and the launches into sessions. The
// service wires the real calls in; tests run the loop on a virtual clock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lensbeacon/policy.h"
#include "session_launch.h"  // ConsoleSession

namespace lensbeacon {

// The policy values the service follows; each is "not configured" unless
// the policy key holds a valid 1 or 0.
struct ServicePolicy {
    PolicySetting showOsd = PolicySetting::NotConfigured;
    PolicySetting checkUsbCamera = PolicySetting::NotConfigured;
};

// What the setting listener needs from the system: the user's "ShowOSD",
// the policy and its change notification, waits and a clock.
class SettingPort {
  public:
    virtual ~SettingPort() = default;

    [[nodiscard]] virtual bool ReadShowOsd() = 0;
    virtual void WriteShowOsd(bool on) = 0;

    [[nodiscard]] virtual ServicePolicy ReadPolicy() = 0;
    // Arms a change notification that covers the policy key, whether it
    // exists or not, and returns the event it signals once; null when none
    // could be armed. A notification belongs to the thread that armed it:
    // only the setting listener calls this, again after every wake.
    [[nodiscard]] virtual HANDLE ArmPolicyWatch() = 0;

    // WaitForMultipleObjects, wait-any: WAIT_OBJECT_0 + index, WAIT_TIMEOUT
    // or WAIT_FAILED.
    [[nodiscard]] virtual DWORD Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) = 0;
    // A monotonic clock in milliseconds, for times that span several waits.
    [[nodiscard]] virtual uint64_t TickMs() = 0;
};

// The worker's: all of the listener's, and the rest.
class WatchPort : public SettingPort {
  public:
    [[nodiscard]] virtual bool ReadNoPhysicalCameraLed() = 0;
    [[nodiscard]] virtual bool ReadCheckUsbCamera() = 0;

    // 1 = a camera is in use, 0 = none is, 2 = no camera device. A live
    // record backs up a USB camera in D0 (device_check.h).
    [[nodiscard]] virtual int CheckDevices(bool countPipes, bool liveRecordHeld) = 0;
    virtual void FreeDeviceCache() = 0;

    [[nodiscard]] virtual bool StartSettingListener() = 0;
    virtual void JoinSettingListener(DWORD timeoutMs) = 0;

    virtual void RegisterMonitorPower() = 0;
    virtual void UnregisterMonitorPower() = 0;

    [[nodiscard]] virtual ConsoleSession FindConsoleSession() = 0;
    virtual void StartLogonIndicator(DWORD session) = 0;
    virtual void StartSessionLauncher(DWORD session) = 0;
    // The sessions there are now, and the SID of the person logged on to
    // one: empty when nobody is, or when the session's token is gone.
    [[nodiscard]] virtual std::vector<DWORD> ListSessions() = 0;
    [[nodiscard]] virtual std::wstring SessionUserSid(DWORD session) = 0;

    // The camera-activity trace: it keeps running while its running flag is
    // set, clears its idle flag before it signals `active`, and sets it again
    // before it signals `idle`.
    virtual void HandOverToTrace(HANDLE active, HANDLE idle) = 0;
    [[nodiscard]] virtual bool StartTraceThread() = 0;  // once per run
    [[nodiscard]] virtual int32_t TraceIdle() = 0;
    virtual void EndTrace() = 0;  // running flag 0, event references cleared
    virtual void JoinTraceThread(DWORD timeoutMs) = 0;

    // Windows' record of camera use, the other source of wake-ups: the watch
    // reads the records at start and at every change, sets its flag while
    // some app holds the camera, and then signals its auto-reset event.
    virtual void StartRecordWatch() = 0;
    [[nodiscard]] virtual HANDLE RecordsChanged() = 0;  // null while no record watch runs
    // 1 while, by the records as last read, some program holds the camera.
    [[nodiscard]] virtual int32_t RecordsHoldCamera() = 0;
    // 1 while a live record holds the camera: one of a program that runs
    // now (camera_use_live.h). Stale records do not count.
    [[nodiscard]] virtual int32_t LiveRecordHoldsCamera() = 0;
    // A person logged on (their SID, or empty when it is not known): the
    // record watch enumerates the hives again, and takes theirs back in if it
    // had let it go. Any thread.
    virtual void RecordsUserLoggedOn(const std::wstring& sid) = 0;
    // A person's last session logged off: before this returns (in two
    // seconds at most) the record watch has closed every key it held in
    // their hive, and it leaves the hive alone until they log on again or it
    // is unloaded, so the profile's unload finds it free. An empty SID only
    // has the hives enumerated again. Any thread.
    virtual void RecordsUserLoggedOff(const std::wstring& sid) = 0;
    virtual void StopRecordWatch() = 0;
};

}  // namespace lensbeacon
