#include "registry_sandbox.h"

#include <gtest/gtest.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::test {

void WriteMachineValue(const std::wstring& key, const wchar_t* name, DWORD type, const void* data,
                       DWORD size) {
    UniqueRegKey handle;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, handle.put(), nullptr),
              ERROR_SUCCESS)
        << key.c_str();
    ASSERT_EQ(::RegSetValueExW(handle.get(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

RegistrySandbox::RegistrySandbox(const wchar_t* subKey, REGSAM view)
    : subKey_(subKey), view_(view) {
    DeleteKey();
}

RegistrySandbox::~RegistrySandbox() {
    DeleteKey();
}

void DeleteKeyTree(HKEY root, const std::wstring& subKey, REGSAM view) {
    // In the given registry view: empty the key, then remove it.
    UniqueRegKey key;
    LSTATUS status = ::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_ALL_ACCESS | view, key.put());
    if (status == ERROR_FILE_NOT_FOUND) {
        return;
    }
    ASSERT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(::RegDeleteTreeW(key.get(), nullptr), ERROR_SUCCESS);
    key.reset();
    status = ::RegDeleteKeyExW(root, subKey.c_str(), view, 0);
    EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
}

void RegistrySandbox::DeleteKey() {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, subKey_, view_);
}

void RegistrySandbox::CreateKey() {
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | view_, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
}

void RegistrySandbox::SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    CreateKey();
    UniqueRegKey key;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_ALL_ACCESS | view_, key.put()),
        ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

void RegistrySandbox::SetDword(const wchar_t* name, DWORD value) {
    SetRaw(name, REG_DWORD, &value, sizeof(value));
}

void RegistrySandbox::SetString(const wchar_t* name, const std::wstring& value) {
    SetRaw(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void RegistrySandbox::DeleteValue(const wchar_t* name) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_ALL_ACCESS | view_,
                        key.put()) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key.get(), name);
    }
}

bool RegistrySandbox::KeyExists() const {
    UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_READ | view_, key.put()) ==
           ERROR_SUCCESS;
}

bool RegistrySandbox::Read(const wchar_t* name, DWORD& type,
                           std::vector<unsigned char>& data) const {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_READ | view_, key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    data.resize(size);
    return ::RegQueryValueExW(key.get(), name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
}

}  // namespace lensbeacon::test
