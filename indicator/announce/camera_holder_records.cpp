#include "camera_holder_records.h"

#include <string>

#include "lensbeacon/camera_use_live.h"
#include "lensbeacon/camera_use_names.h"
#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/running_programs.h"

namespace lensbeacon::indicator {
namespace {

constexpr REGSAM kRecordAccess = KEY_READ | KEY_WOW64_64KEY;

}  // namespace

std::vector<std::wstring> CameraHolderRecords::ReadNames(const DescriptionReader& describe) {
    // Opened for each read: the key may appear later (a first use of the
    // camera), or be deleted and made again.
    UniqueRegKey webcam;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kCameraUseRecordsKey, 0, kRecordAccess, webcam.put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    const std::vector<CameraUseRecord> records = ReadCameraUseRecords(webcam.get());
    if (!AnyHeldRecord(records)) {
        return {};
    }
    return NamesOfCameraHolders(LiveHeldRecords(records, ReadRunningImagePaths()), describe);
}

bool CameraHolderRecords::Arm(const wchar_t* subKey, bool subtree, UniqueRegKey& key) {
    key.reset();
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, kRecordAccess, key.put()) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD filter =
        subtree ? REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET : REG_NOTIFY_CHANGE_NAME;
    if (::RegNotifyChangeKeyValue(key.get(), subtree ? TRUE : FALSE, filter, changed_.get(),
                                  TRUE) != ERROR_SUCCESS) {
        key.reset();
        return false;
    }
    return true;
}

bool CameraHolderRecords::WatchOnce(HWND window, UINT message) {
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
    // Both keys signal the one event: a change of the records, or the
    // making or deletion of "webcam" under its parent (a deleted key does
    // not always tell its own watchers).
    std::wstring parent(kCameraUseRecordsKey);
    parent.resize(parent.rfind(L'\\'));
    const bool records = Arm(kCameraUseRecordsKey, true, records_);
    const bool above = Arm(parent.c_str(), false, parent_);
    if (!records && !above) {
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
