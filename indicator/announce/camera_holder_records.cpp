#include "camera_holder_records.h"

#include "lensbeacon/camera_use_names.h"
#include "lensbeacon/camera_use_records.h"

namespace lensbeacon::indicator {

bool CameraHolderRecords::OpenKey() {
    // The key may appear later (a first use of the camera): tried each time.
    return key_ || ::RegOpenKeyExW(HKEY_CURRENT_USER, kCameraUseRecordsKey, 0,
                                   KEY_READ | KEY_WOW64_64KEY, key_.put()) == ERROR_SUCCESS;
}

std::vector<std::wstring> CameraHolderRecords::ReadNames() {
    if (!OpenKey()) {
        return {};
    }
    return NamesOfCameraHolders(ReadCameraUseRecords(key_.get()), ReadFileDescription);
}

bool CameraHolderRecords::WatchOnce(HWND window, UINT message) {
    if (!OpenKey()) {
        return false;
    }
    if (!changed_) {
        changed_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!changed_) {
            return false;
        }
    }
    if (wait_ != nullptr) {
        // The last notification has fired and run (it posted the message
        // this call answers): its registration only needs freeing.
        ::UnregisterWaitEx(wait_, nullptr);
        wait_ = nullptr;
    }
    window_ = window;
    message_ = message;
    constexpr DWORD kFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    if (::RegNotifyChangeKeyValue(key_.get(), TRUE, kFilter, changed_.get(), TRUE) !=
        ERROR_SUCCESS) {
        return false;
    }
    return ::RegisterWaitForSingleObject(&wait_, changed_.get(), OnChanged, this, INFINITE,
                                         WT_EXECUTEONLYONCE) != FALSE;
}

void CameraHolderRecords::StopWatching() {
    if (wait_ != nullptr) {
        ::UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
        wait_ = nullptr;
    }
}

void CALLBACK CameraHolderRecords::OnChanged(PVOID context, BOOLEAN) {
    auto* self = static_cast<CameraHolderRecords*>(context);
    // A window that has gone takes the message with it.
    static_cast<void>(::PostMessageW(self->window_, self->message_, 0, 0));
}

}  // namespace lensbeacon::indicator
