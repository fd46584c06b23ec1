#include "lensbeacon/camera_use_records.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "lensbeacon/registry_value.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {
namespace {

ULONGLONG ReadFileTime(HKEY key, const wchar_t* name) {
    ULONGLONG value = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(value);
    // A larger value fails with ERROR_MORE_DATA and is never read past the
    // eight bytes asked for.
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        return 0;
    }
    return FileTimeFromValue(type, &value, size);
}

constexpr REGSAM kRecordView = KEY_WOW64_64KEY;

void ReadLevel(HKEY parent, bool packaged, const std::wstring& hive,
               std::vector<CameraUseRecord>& records) {
    ForEachSubkeyName(parent, kMaxCameraUseRecords, [&](std::wstring name) {
        if (packaged && _wcsicmp(name.c_str(), kNonPackagedKey) == 0) {
            return;
        }
        UniqueRegKey app;
        if (::RegOpenKeyExW(parent, name.c_str(), 0, KEY_QUERY_VALUE | kRecordView, app.put()) !=
            ERROR_SUCCESS) {
            return;
        }
        CameraUseRecord record;
        record.app = std::move(name);
        record.hive = hive;
        record.packaged = packaged;
        record.start = ReadFileTime(app.get(), kLastUsedStartValue);
        record.stop = ReadFileTime(app.get(), kLastUsedStopValue);
        records.push_back(std::move(record));
    });
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.size() > prefix.size() && text.substr(0, prefix.size()) == prefix;
}

}  // namespace

ULONGLONG FileTimeFromValue(DWORD type, const void* data, DWORD size) noexcept {
    if (type != REG_QWORD || size != sizeof(ULONGLONG) || data == nullptr) {
        return 0;
    }
    ULONGLONG value = 0;
    std::memcpy(&value, data, sizeof(value));
    return value;
}

bool IsPersonHiveName(std::wstring_view name) noexcept {
    constexpr std::wstring_view kClasses = L"_Classes";
    if (name.size() >= kClasses.size() && name.substr(name.size() - kClasses.size()) == kClasses) {
        return false;
    }
    return StartsWith(name, L"S-1-5-21-") || StartsWith(name, L"S-1-12-1-");
}

std::vector<CameraUseRecord> ReadCameraUseRecords(HKEY webcam, const std::wstring& hive) {
    std::vector<CameraUseRecord> records;
    ReadLevel(webcam, true, hive, records);
    UniqueRegKey nonPackaged;
    if (::RegOpenKeyExW(webcam, kNonPackagedKey, 0, KEY_READ | kRecordView, nonPackaged.put()) ==
        ERROR_SUCCESS) {
        ReadLevel(nonPackaged.get(), false, hive, records);
    }
    return records;
}

std::vector<CameraUseRecord> ReadCameraUseRecordsOfAllHives() {
    std::vector<CameraUseRecord> all;
    const auto readFrom = [&all](HKEY root, const std::wstring& subKey, const std::wstring& hive) {
        UniqueRegKey webcam;
        if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ | kRecordView, webcam.put()) !=
            ERROR_SUCCESS) {
            return;  // no records there (an older Windows, or no camera use yet)
        }
        std::vector<CameraUseRecord> records = ReadCameraUseRecords(webcam.get(), hive);
        all.insert(all.end(), std::make_move_iterator(records.begin()),
                   std::make_move_iterator(records.end()));
    };
    readFrom(HKEY_LOCAL_MACHINE, kCameraUseRecordsKey, L"HKLM");
    ForEachSubkeyName(HKEY_USERS, kMaxLoadedHives, [&](std::wstring hive) {
        if (IsPersonHiveName(hive)) {
            readFrom(HKEY_USERS, hive + L"\\" + kCameraUseRecordsKey, hive);
        }
    });
    return all;
}

bool AnyRecordHoldsCamera(HKEY webcam) {
    const std::vector<CameraUseRecord> records = ReadCameraUseRecords(webcam);
    return std::any_of(records.begin(), records.end(),
                       [](const CameraUseRecord& record) { return HoldsCamera(record); });
}

}  // namespace lensbeacon
