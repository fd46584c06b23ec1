// Test helper: a program that holds the camera, as Windows' record of camera
// use names it. A copy of camera_caller.exe (beside the test executable) is
// placed at a chosen path, its folders made as needed, and started; the
// object waits until the copy runs. Kill() ends it the way a crash does;
// the destructor ends it too and deletes the copy.
#pragma once

#include <string>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::test {

class CallingProgram {
  public:
    // `path` is a full Windows path ending in a file name unique to the test.
    explicit CallingProgram(std::wstring path);
    ~CallingProgram();
    CallingProgram(const CallingProgram&) = delete;
    CallingProgram& operator=(const CallingProgram&) = delete;

    const std::wstring& path() const { return path_; }
    // The record key of a desktop program at this path.
    std::wstring RecordKey() const;
    bool Running() const;
    // Ends the program at once and waits for its end.
    void Kill();

  private:
    std::wstring path_;
    UniqueProcessInformation process_;
};

}  // namespace lensbeacon::test
