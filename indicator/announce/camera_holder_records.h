// The current user's record of camera use, as the user-desktop indicator
// reads it: the names of the programs that hold the camera now, and a
// one-shot watch that posts a message to the indicator window when the
// records change.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {

class CameraHolderRecords {
  public:
    CameraHolderRecords() = default;
    ~CameraHolderRecords() { StopWatching(); }
    CameraHolderRecords(const CameraHolderRecords&) = delete;
    CameraHolderRecords& operator=(const CameraHolderRecords&) = delete;

    // The programs holding the camera, most recent first; empty when there
    // is no record (or no key).
    std::vector<std::wstring> ReadNames();

    // Posts `message` to `window` at the next change of the records, once.
    // Call again after each message to go on watching. False when there is
    // nothing to watch.
    bool WatchOnce(HWND window, UINT message);
    // Ends the watch; waits for a notification already under way.
    void StopWatching();

  private:
    static void CALLBACK OnChanged(PVOID context, BOOLEAN timedOut);
    bool OpenKey();

    UniqueRegKey key_;
    UniqueHandle changed_;
    HANDLE wait_ = nullptr;
    HWND window_ = nullptr;
    UINT message_ = 0;
};

}  // namespace lensbeacon::indicator
