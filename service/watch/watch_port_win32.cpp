#include "watch_port_win32.h"

#include "lensbeacon/camera_use_live.h"
#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/names.h"
#include "lensbeacon/policy.h"
#include "lensbeacon/running_programs.h"
#include "service_settings.h"
#include "setting_listener.h"

namespace lensbeacon {

Win32WatchPort::Win32WatchPort(WatchState& state)
    : state_(state), devices_(CreateWin32DevicePort()) {}

bool Win32WatchPort::ReadNoPhysicalCameraLed() {
    return lensbeacon::ReadNoPhysicalCameraLed();
}
bool Win32WatchPort::ReadCheckUsbCamera() {
    return lensbeacon::ReadCheckUsbCamera();
}

bool Win32SettingPort::ReadShowOsd() {
    return lensbeacon::ReadShowOsd();
}
void Win32SettingPort::WriteShowOsd(bool on) {
    // A failed write is not reported: the switch holds its value in memory.
    static_cast<void>(lensbeacon::WriteShowOsd(on));
}

ServicePolicy Win32SettingPort::ReadPolicy() {
    return ServicePolicy{ReadPolicySetting(kShowOsdValue), ReadPolicySetting(kCheckUsbCameraValue)};
}

int Win32WatchPort::CheckDevices(bool countPipes, bool liveRecordHeld) {
    if (!devices_) {
        return kNoImagingDevice;  // the adapter could not be allocated
    }
    return lensbeacon::CheckDevices(*devices_, cache_,
                                    DeviceCheckInput{countPipes, liveRecordHeld});
}

int32_t Win32WatchPort::LiveRecordHoldsCamera() {
    // The watch's flag says whether any record holds the camera at all;
    // only then are the records read again and matched with the running
    // programs.
    if (RecordsHoldCamera() == 0) {
        return 0;
    }
    const std::vector<CameraUseRecord> records = ReadCameraUseRecordsOfAllHives();
    if (!AnyHeldRecord(records)) {
        return 0;
    }
    return LiveHeldRecords(records, ReadRunningImagePaths()).empty() ? 0 : 1;
}

DWORD Win32SettingPort::Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) {
    return ::WaitForMultipleObjects(count, handles, FALSE, timeoutMs);
}

DWORD WINAPI Win32WatchPort::SettingListenerMain(LPVOID parameter) {
    auto* self = static_cast<Win32WatchPort*>(parameter);
    SettingListener(self->state_, self->settings_).Run();
    return 0;
}

bool Win32WatchPort::StartSettingListener() {
    listener_.reset(::CreateThread(nullptr, 0, SettingListenerMain, this, 0, nullptr));
    return static_cast<bool>(listener_);
}

void Win32WatchPort::JoinSettingListener(DWORD timeoutMs) {
    if (listener_) {
        ::WaitForSingleObject(listener_.get(), timeoutMs);
        listener_.reset();
    }
}

ConsoleSession Win32WatchPort::FindConsoleSession() {
    return launcher_.QueryConsoleSession();
}

void Win32WatchPort::StartLogonIndicator(DWORD session) {
    // A launch that fails is not retried; the next connect tries again.
    static_cast<void>(launcher_.Launch(LaunchKind::LogonDesktop, session));
}

void Win32WatchPort::StartSessionLauncher(DWORD session) {
    // A launch that fails is not retried; the next logon tries again.
    static_cast<void>(launcher_.Launch(LaunchKind::User, session));
}

void Win32WatchPort::HandOverToTrace(HANDLE active, HANDLE idle) {
    traceShared_.HandOver(active, idle, ::GetCurrentProcessId());
}

}  // namespace lensbeacon
