#include "lensbeacon/camera_use_records.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

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

void ReadLevel(HKEY parent, bool packaged, std::vector<CameraUseRecord>& records) {
    ForEachSubkeyName(parent, kMaxCameraUseRecords, [&](std::wstring name) {
        if (packaged && _wcsicmp(name.c_str(), kNonPackagedKey) == 0) {
            return;
        }
        UniqueRegKey app;
        if (::RegOpenKeyExW(parent, name.c_str(), 0, KEY_QUERY_VALUE, app.put()) != ERROR_SUCCESS) {
            return;
        }
        CameraUseRecord record;
        record.app = std::move(name);
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

std::vector<CameraUseRecord> ReadCameraUseRecords(HKEY webcam) {
    std::vector<CameraUseRecord> records;
    ReadLevel(webcam, true, records);
    UniqueRegKey nonPackaged;
    if (::RegOpenKeyExW(webcam, kNonPackagedKey, 0, KEY_READ, nonPackaged.put()) == ERROR_SUCCESS) {
        ReadLevel(nonPackaged.get(), false, records);
    }
    return records;
}

bool AnyRecordHoldsCamera(HKEY webcam) {
    const std::vector<CameraUseRecord> records = ReadCameraUseRecords(webcam);
    return std::any_of(records.begin(), records.end(),
                       [](const CameraUseRecord& record) { return HoldsCamera(record); });
}

}  // namespace lensbeacon
