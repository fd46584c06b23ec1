// Which records of camera use are live: a record that says a program holds
// the camera counts only while that program runs. A program that crashed
// leaves its record "held" for ever; such a stale record neither backs up a
// USB camera, nor keeps the service looking, nor names a program.
//
// A desktop program's record is its full image path ('#' for '\'); it is
// live while a process runs from that path (compared without regard to
// case). A packaged app's record is its family name, "<Name>_<PublisherId>";
// it is live while a process runs from that package's folder,
// "...\WindowsApps\<Name>_<Version>_<Arch>_<ResourceId>_<PublisherId>\".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lensbeacon/camera_use_records.h"

namespace lensbeacon {

// The family name ("<Name>_<PublisherId>") of the package folder under
// "WindowsApps" that `imagePath` lies in; empty when it lies in none.
[[nodiscard]] std::wstring PackageFamilyOfImagePath(std::wstring_view imagePath);

// Whether the program of `record` is the one that runs from `imagePath`.
[[nodiscard]] bool IsProgramOfRecord(const CameraUseRecord& record, std::wstring_view imagePath);

// Whether any of `imagePaths` is the program of `record`.
[[nodiscard]] bool IsRecordLive(const CameraUseRecord& record,
                                const std::vector<std::wstring>& imagePaths);

// The records that hold the camera and whose programs run, in their order.
[[nodiscard]] std::vector<CameraUseRecord> LiveHeldRecords(
    const std::vector<CameraUseRecord>& records, const std::vector<std::wstring>& imagePaths);

// Whether any record holds the camera: the cheap test that comes before a
// look at the running programs.
[[nodiscard]] bool AnyHeldRecord(const std::vector<CameraUseRecord>& records);

}  // namespace lensbeacon
