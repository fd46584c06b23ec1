// Windows' own record of camera use. Since Windows 10 1903 the capability
// access manager keeps, under the "webcam" key below, one key per program
// that used the camera: packaged apps directly under it, desktop programs
// under "NonPackaged", named for their path with '#' in place of '\'. Each
// may hold LastUsedTimeStart and LastUsedTimeStop (REG_QWORD FILETIMEs).
//
// Any program can write these records, and Windows may leave them stale, so
// they only ever wake a device check or name a program; they never decide
// whether the camera is on. Every value is checked for type and size.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace lensbeacon {

// Under HKEY_LOCAL_MACHINE (64-bit view) and under each user hive.
inline constexpr const wchar_t* kCameraUseRecordsKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore\\webcam";
inline constexpr const wchar_t* kNonPackagedKey = L"NonPackaged";
inline constexpr const wchar_t* kLastUsedStartValue = L"LastUsedTimeStart";
inline constexpr const wchar_t* kLastUsedStopValue = L"LastUsedTimeStop";

struct CameraUseRecord {
    std::wstring app;  // the record's key name
    bool packaged = false;
    ULONGLONG start = 0;  // FILETIME; 0 when missing or malformed
    ULONGLONG stop = 0;
    std::wstring hive;  // where it was read: "HKLM", a hive's name, or empty
};

// An app holds the camera when it started using it and has not stopped
// since: Start non-zero, and Stop zero or older than Start.
[[nodiscard]] constexpr bool HoldsCamera(ULONGLONG start, ULONGLONG stop) noexcept {
    return start != 0 && (stop == 0 || stop < start);
}
[[nodiscard]] inline bool HoldsCamera(const CameraUseRecord& record) noexcept {
    return HoldsCamera(record.start, record.stop);
}

// A FILETIME value as the registry returned it: only a REG_QWORD of exactly
// eight bytes counts; anything else reads as 0 (missing).
[[nodiscard]] ULONGLONG FileTimeFromValue(DWORD type, const void* data, DWORD size) noexcept;

// The loaded hives of people under HKEY_USERS: local and domain accounts
// ("S-1-5-21-...") and Azure AD accounts ("S-1-12-1-..."), not their
// "..._Classes" companions, ".DEFAULT" or the service accounts.
[[nodiscard]] bool IsPersonHiveName(std::wstring_view name) noexcept;

// Every record under an open "webcam" key: packaged apps first, then desktop
// programs. At most kMaxCameraUseRecords per level are read; a key whose name
// or values cannot be read is skipped or read as missing. Every key below is
// opened in the 64-bit view, the view the records of HKLM live in (a child of
// a key opened in an alternate view must be opened in that view too).
inline constexpr DWORD kMaxCameraUseRecords = 1024;
[[nodiscard]] std::vector<CameraUseRecord> ReadCameraUseRecords(HKEY webcam,
                                                                const std::wstring& hive = {});

// The records of the machine (hive "HKLM") and of every person's hive loaded
// under HKEY_USERS (hive named by its SID), each key opened for the read and
// closed after it.
[[nodiscard]] std::vector<CameraUseRecord> ReadCameraUseRecordsOfAllHives();

// Loaded hives are few: the people signed in, and the system's own.
inline constexpr DWORD kMaxLoadedHives = 1024;

// Whether any record under an open "webcam" key holds the camera.
[[nodiscard]] bool AnyRecordHoldsCamera(HKEY webcam);

}  // namespace lensbeacon
