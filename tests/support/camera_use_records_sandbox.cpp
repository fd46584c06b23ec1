#include "camera_use_records_sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/unique_owner.h"
#include "registry_sandbox.h"

namespace lensbeacon::test {
namespace {

ULONGLONG Now() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

CameraUseRecordsSandbox::CameraUseRecordsSandbox(HKEY root, std::wstring hive)
    : root_(root),
      hive_(std::move(hive)),
      webcam_((hive_.empty() ? L"" : hive_ + L"\\") + kCameraUseRecordsKey) {
    Remove();
    UniqueRegKey key;
    EXPECT_EQ(::RegCreateKeyExW(root_, (webcam_ + L"\\" + kNonPackagedKey).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
}

CameraUseRecordsSandbox::~CameraUseRecordsSandbox() {
    Remove();
}

void CameraUseRecordsSandbox::Remove() {
    // In the native view, where the records live.
    DeleteKeyTree(root_, hive_.empty() ? webcam_ : hive_, KEY_WOW64_64KEY);
}

std::wstring CameraUseRecordsSandbox::DesktopAppKey(const std::wstring& path) {
    std::wstring key = path;
    std::replace(key.begin(), key.end(), L'\\', L'#');
    return key;
}

std::wstring CameraUseRecordsSandbox::AppKey(const std::wstring& app, bool packaged) const {
    return webcam_ + (packaged ? L"\\" : std::wstring(L"\\") + kNonPackagedKey + L"\\") + app;
}

void CameraUseRecordsSandbox::SetRaw(const std::wstring& app, const wchar_t* value, DWORD type,
                                     const void* data, DWORD size, bool packaged) {
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(root_, AppKey(app, packaged).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), value, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

void CameraUseRecordsSandbox::StartUsing(const std::wstring& app, bool packaged) {
    const ULONGLONG start = Now();
    const ULONGLONG stop = 0;
    // Stop first, so the record never shows an old Stop beside the new Start.
    SetRaw(app, kLastUsedStopValue, REG_QWORD, &stop, sizeof(stop), packaged);
    SetRaw(app, kLastUsedStartValue, REG_QWORD, &start, sizeof(start), packaged);
}

void CameraUseRecordsSandbox::StopUsing(const std::wstring& app, bool packaged) {
    const ULONGLONG stop = Now() + 1;
    SetRaw(app, kLastUsedStopValue, REG_QWORD, &stop, sizeof(stop), packaged);
}

}  // namespace lensbeacon::test
