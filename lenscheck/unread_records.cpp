#include "unread_records.h"

#include <string>

#include "lensbeacon/registry_value.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {
namespace {

// The view the records are read in (camera_use_records.h).
constexpr REGSAM kRecordAccess = KEY_READ | KEY_WOW64_64KEY;

void Probe(HKEY root, const std::wstring& webcamKey, const std::wstring& hive,
           std::vector<UnreadRecords>& unread) {
    UniqueRegKey webcam;
    const LSTATUS opened = ::RegOpenKeyExW(root, webcamKey.c_str(), 0, kRecordAccess, webcam.put());
    if (opened == ERROR_FILE_NOT_FOUND) {
        return;  // no records there
    }
    if (opened != ERROR_SUCCESS) {
        unread.push_back(UnreadRecords{hive, L"webcam", opened});
        return;
    }
    UniqueRegKey nonPackaged;
    const LSTATUS inner =
        ::RegOpenKeyExW(webcam.get(), kNonPackagedKey, 0, kRecordAccess, nonPackaged.put());
    if (inner != ERROR_SUCCESS && inner != ERROR_FILE_NOT_FOUND) {
        unread.push_back(UnreadRecords{hive, std::wstring(L"webcam\\") + kNonPackagedKey, inner});
    }
}

}  // namespace

std::vector<UnreadRecords> FindUnreadRecords() {
    std::vector<UnreadRecords> unread;
    Probe(HKEY_LOCAL_MACHINE, kCameraUseRecordsKey, L"HKLM", unread);
    ForEachSubkeyName(HKEY_USERS, kMaxLoadedHives, [&unread](std::wstring hive) {
        if (IsPersonHiveName(hive)) {
            Probe(HKEY_USERS, hive + L"\\" + kCameraUseRecordsKey, hive, unread);
        }
    });
    return unread;
}

}  // namespace lensbeacon
