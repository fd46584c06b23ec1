#include "loaded_hive.h"

#include <gtest/gtest.h>

#include "lensbeacon/camera_use_records.h"
#include "lensbeacon/unique_owner.h"
#include "registry_sandbox.h"

namespace lensbeacon::test {
namespace {

// The scratch key whose copy becomes the hive: its subkeys are the hive's.
constexpr wchar_t kScratchKey[] = L"Software\\Lensbeacon test hive";

void EnablePrivilege(const wchar_t* name) {
    UniqueHandle token;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                   token.put()));
    TOKEN_PRIVILEGES privileges{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    ASSERT_TRUE(::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) << name;
    ASSERT_TRUE(::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr));
    ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << name << " not held";
}

}  // namespace

LoadedHive::LoadedHive(std::wstring sid) : sid_(std::move(sid)) {
    Make();
}

void LoadedHive::Make() {
    EnablePrivilege(SE_BACKUP_NAME);
    EnablePrivilege(SE_RESTORE_NAME);
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    ASSERT_TRUE(length > 0 && length <= MAX_PATH);
    file_ = std::wstring(folder, length) + L"lensbeacon-" + sid_ + L".hiv";
    ::DeleteFileW(file_.c_str());  // RegSaveKeyW makes a new file only

    DeleteKeyTree(HKEY_CURRENT_USER, kScratchKey, 0);
    const std::wstring records = std::wstring(kScratchKey) + L"\\" + kCameraUseRecordsKey;
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, records.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, KEY_READ, key.put()),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSaveKeyW(key.get(), file_.c_str(), nullptr), ERROR_SUCCESS);
    key.reset();
    DeleteKeyTree(HKEY_CURRENT_USER, kScratchKey, 0);
}

LoadedHive::~LoadedHive() {
    if (loaded_) {
        EXPECT_EQ(Unload(), ERROR_SUCCESS);
    }
    if (!file_.empty()) {
        ::DeleteFileW(file_.c_str());
    }
}

LONG LoadedHive::Load() {
    const LONG result = ::RegLoadKeyW(HKEY_USERS, sid_.c_str(), file_.c_str());
    loaded_ = loaded_ || result == ERROR_SUCCESS;
    return result;
}

LONG LoadedHive::Unload() {
    const LONG result = ::RegUnLoadKeyW(HKEY_USERS, sid_.c_str());
    loaded_ = loaded_ && result != ERROR_SUCCESS;
    return result;
}

}  // namespace lensbeacon::test
