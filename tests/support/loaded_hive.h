// Test helper: a registry hive file loaded under HKEY_USERS, as the profile
// service loads a person's at logon, holding an empty "webcam" records key.
// The process's backup and restore privileges are enabled to make, load and
// unload it. The destructor unloads it if it is still loaded, and deletes
// the file.
#pragma once

#include <windows.h>

#include <string>

namespace lensbeacon::test {

class LoadedHive {
  public:
    // Makes the hive file for `sid`; Load puts it under HKEY_USERS.
    explicit LoadedHive(std::wstring sid);
    ~LoadedHive();
    LoadedHive(const LoadedHive&) = delete;
    LoadedHive& operator=(const LoadedHive&) = delete;

    // RegLoadKeyW's and RegUnLoadKeyW's answers.
    LONG Load();
    LONG Unload();

    const std::wstring& sid() const { return sid_; }

  private:
    void Make();

    std::wstring sid_;
    std::wstring file_;
    bool loaded_ = false;
};

}  // namespace lensbeacon::test
