// Test helper: a registry key under HKEY_LOCAL_MACHINE that the test fully
// owns. The constructor removes whatever an earlier test left there; the
// destructor removes it again.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace lensbeacon::test {

// Creates `key` under HKEY_LOCAL_MACHINE as needed and writes one value
// (`name` null for the key's default value); a failure fails the test.
void WriteMachineValue(const std::wstring& key, const wchar_t* name, DWORD type, const void* data,
                       DWORD size);

// Removes `subKey` of `root` with everything below it, in the `view` given
// (0 or a KEY_WOW64_* flag); a key that is not there is fine, any other
// failure fails the test.
void DeleteKeyTree(HKEY root, const std::wstring& subKey, REGSAM view);

class RegistrySandbox {
  public:
    RegistrySandbox(const wchar_t* subKey, REGSAM view = 0);
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    void CreateKey();
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size);
    void SetDword(const wchar_t* name, DWORD value);
    void SetString(const wchar_t* name, const std::wstring& value);
    void DeleteValue(const wchar_t* name);
    bool KeyExists() const;
    // Removes the key with everything in it, as the destructor does.
    void DeleteKey();
    // The value's type and bytes; false when it does not exist.
    bool Read(const wchar_t* name, DWORD& type, std::vector<unsigned char>& data) const;

  private:
    std::wstring subKey_;
    REGSAM view_;
};

}  // namespace lensbeacon::test
