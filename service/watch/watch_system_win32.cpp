#include "watch_system_win32.h"

#include "lensbeacon/camera_use_live.h"
#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/names.h"
#include "lensbeacon/policy.h"
#include "lensbeacon/running_programs.h"
#include "service_settings.h"
#include "setting_listener.h"

namespace lensbeacon {

Win32WatchSystem::Win32WatchSystem(WatchState& state)
    : state_(state), devices_(CreateSetupApiDeviceSystem()) {}

bool Win32WatchSystem::ReadNoPhysicalCameraLed() {
    return lensbeacon::ReadNoPhysicalCameraLed();
}
bool Win32WatchSystem::ReadCheckUsbCamera() {
    return lensbeacon::ReadCheckUsbCamera();
}

bool Win32SettingSystem::ReadShowOsd() {
    return lensbeacon::ReadShowOsd();
}
void Win32SettingSystem::WriteShowOsd(bool on) {
    // A failed write is not reported: the switch holds its value in memory.
    static_cast<void>(lensbeacon::WriteShowOsd(on));
}

ServicePolicy Win32SettingSystem::ReadPolicy() {
    return ServicePolicy{ReadPolicySetting(kShowOsdValue), ReadPolicySetting(kCheckUsbCameraValue)};
}

int Win32WatchSystem::CheckDevices(bool countPipes, bool liveRecordHeld) {
    if (!devices_) {
        return kNoImagingDevice;  // the adapter could not be allocated
    }
    return lensbeacon::CheckDevices(*devices_, cache_,
                                    DeviceCheckInput{countPipes, liveRecordHeld});
}

int32_t Win32WatchSystem::LiveRecordHoldsCamera() {
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

DWORD Win32SettingSystem::Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) {
    return ::WaitForMultipleObjects(count, handles, FALSE, timeoutMs);
}

DWORD WINAPI Win32WatchSystem::SettingListenerMain(LPVOID parameter) {
    auto* self = static_cast<Win32WatchSystem*>(parameter);
    SettingListener(self->state_, self->settings_).Run();
    return 0;
}

bool Win32WatchSystem::StartSettingListener() {
    listener_.reset(::CreateThread(nullptr, 0, SettingListenerMain, this, 0, nullptr));
    return static_cast<bool>(listener_);
}

void Win32WatchSystem::JoinSettingListener(DWORD timeoutMs) {
    if (listener_) {
        ::WaitForSingleObject(listener_.get(), timeoutMs);
        listener_.reset();
    }
}

ConsoleSession Win32WatchSystem::FindConsoleSession() {
    return launcher_.QueryConsoleSession();
}

void Win32WatchSystem::StartLogonIndicator(DWORD session) {
    // A launch that fails is not retried; the next connect tries again.
    static_cast<void>(launcher_.Launch(LaunchKind::LogonDesktop, session));
}

void Win32WatchSystem::StartSessionLauncher(DWORD session) {
    // A launch that fails is not retried; the next logon tries again.
    static_cast<void>(launcher_.Launch(LaunchKind::User, session));
}

void Win32WatchSystem::HandOverToTrace(HANDLE active, HANDLE idle) {
    traceShared_.HandOver(active, idle, ::GetCurrentProcessId());
}

}  // namespace lensbeacon
