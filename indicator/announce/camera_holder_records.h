// The current user's record of camera use, as the user-desktop indicator
// reads it: the names of the programs that hold the camera now (only those
// still running: a crashed program's record stays "held"), and a one-shot
// watch that posts a message to the indicator window when the records
// change. Each watch opens the keys afresh, so a "webcam" key deleted and
// made again is followed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "lensbeacon/camera_use_names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {

class CameraHolderRecords {
  public:
    CameraHolderRecords() = default;
    ~CameraHolderRecords() { StopWatching(); }
    CameraHolderRecords(const CameraHolderRecords&) = delete;
    CameraHolderRecords& operator=(const CameraHolderRecords&) = delete;

    // The running programs holding the camera, most recent first; empty
    // when there is no such record (or no key). A desktop program is named
    // by what `describe` gives for its path, else by its file name.
    [[nodiscard]] std::vector<std::wstring> ReadNames(const DescriptionReader& describe);

    // Posts `message` to `window` at the next change of the records, once.
    // Call again after each message to go on watching, and before reading,
    // so that no change between the read and the watch is lost. False when
    // there is nothing to watch.
    [[nodiscard]] bool WatchOnce(HWND window, UINT message);
    // Ends the watch; waits for a notification already under way.
    void StopWatching();

  private:
    static void CALLBACK OnChanged(PVOID context, BOOLEAN timedOut);
    // Opens `subKey` of the user's hive into `key` and arms it on changed_.
    [[nodiscard]] bool Arm(const wchar_t* subKey, bool subtree, UniqueRegKey& key);

    UniqueRegKey records_;  // "webcam", while it exists
    UniqueRegKey parent_;   // the key above it, for its making and deletion
    UniqueHandle changed_;
    UniqueThreadPoolWait wait_;  // the armed notification's registration
    HWND window_ = nullptr;
    UINT message_ = 0;
};

}  // namespace lensbeacon::indicator
