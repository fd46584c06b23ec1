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
    // The last notification, if any, has fired (it posted the message this
    // call answers) or is given up: its registration goes.
    wait_.reset();
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
    return ::RegisterWaitForSingleObject(wait_.put(), changed_.get(), OnChanged, this, INFINITE,
                                         WT_EXECUTEONLYONCE) != FALSE;
}

void CameraHolderRecords::StopWatching() {
    wait_.reset();
}

void CALLBACK CameraHolderRecords::OnChanged(PVOID context, BOOLEAN) {
    auto* self = static_cast<CameraHolderRecords*>(context);
    // A window that has gone takes the message with it.
    static_cast<void>(::PostMessageW(self->window_, self->message_, 0, 0));
}

}  // namespace lensbeacon::indicator
