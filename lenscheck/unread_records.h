// The keys of Windows' record of camera use that exist but cannot be opened:
// without administrator rights the hives of other people signed in are
// closed to Lenscheck, and their records are left out of the check.
#pragma once

#include <vector>

#include "check_report.h"

namespace lensbeacon {

// Looks at the machine's records key and each person's hive under
// HKEY_USERS, as ReadCameraUseRecordsOfAllHives reads them, and lists each
// key that is there but could not be opened for reading.
[[nodiscard]] std::vector<UnreadRecords> FindUnreadRecords();

}  // namespace lensbeacon
