// The full image paths of the running processes, as
// QueryFullProcessImageNameW gives them ("C:\Program Files\...\app.exe").
// Opened with PROCESS_QUERY_LIMITED_INFORMATION, which a 32-bit program may
// use on 64-bit processes too; a process that cannot be opened or named is
// left out, so it is taken as no program of any record.
#pragma once

#include <string>
#include <vector>

namespace lensbeacon {

[[nodiscard]] std::vector<std::wstring> ReadRunningImagePaths();

}  // namespace lensbeacon
