// Test helper: Windows' record of camera use, written where Windows keeps it
// (the "webcam" key under a hive), so the real service and indicator read it
// as they would on a PC. The constructor creates the "webcam" key afresh;
// the destructor removes it, or the whole made-up hive it was given.
#pragma once

#include <windows.h>

#include <string>

namespace lensbeacon::test {

class CameraUseRecordsSandbox {
  public:
    // The records under `root`\`hive`\...\webcam. A non-empty `hive` (under
    // HKEY_USERS) is a made-up person's hive that the sandbox owns whole.
    explicit CameraUseRecordsSandbox(HKEY root = HKEY_CURRENT_USER, std::wstring hive = L"");
    ~CameraUseRecordsSandbox();
    CameraUseRecordsSandbox(const CameraUseRecordsSandbox&) = delete;
    CameraUseRecordsSandbox& operator=(const CameraUseRecordsSandbox&) = delete;

    // A desktop program's record key name: its path with '#' for '\'.
    static std::wstring DesktopAppKey(const std::wstring& path);

    // `app` (a key name under NonPackaged, or under webcam when packaged)
    // starts using the camera now: Start = now, Stop = 0.
    void StartUsing(const std::wstring& app, bool packaged = false);
    // `app` stops now: Stop = now, later than its Start.
    void StopUsing(const std::wstring& app, bool packaged = false);
    // Any bytes as any type, for malformed records.
    void SetRaw(const std::wstring& app, const wchar_t* value, DWORD type, const void* data,
                DWORD size, bool packaged = false);

  private:
    std::wstring AppKey(const std::wstring& app, bool packaged) const;
    void Remove();

    HKEY root_;
    std::wstring hive_;
    std::wstring webcam_;  // the "webcam" key under root_
};

}  // namespace lensbeacon::test
