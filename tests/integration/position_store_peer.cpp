// Test helper: a second process that loads Lensmemo.dll from the given path,
// restores the position (which reads the registry only when no process has
// restored since the last save), checks that it sees the expected shared
// values and then sets new ones.
//   position_store_peer DLL EX EY EW EH SX SY SW SH
// Exit codes: 0 as expected, 1 bad arguments, 2 other values seen, 3 the
// library or an export could not be loaded.
#include <windows.h>

#include <cstdint>
#include <cwchar>

#include "lensbeacon/position_store.h"
#include "lensbeacon/proc_address.h"
#include "lensbeacon/unique_owner.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 10) {
        return 1;
    }
    const lensbeacon::UniqueModule library(::LoadLibraryW(argv[1]));
    if (!library) {
        return 3;
    }
    using namespace lensbeacon;
    auto get = ProcAddress<GetPositionInformationFn>(library.get(), kGetPositionInformationExport);
    auto set = ProcAddress<SetPositionInformationFn>(library.get(), kSetPositionInformationExport);
    auto restore =
        ProcAddress<RestorePositionInformationFn>(library.get(), kRestorePositionInformationExport);
    if (get == nullptr || set == nullptr || restore == nullptr) {
        return 3;
    }
    restore();
    std::int32_t seen[4] = {};
    get(&seen[0], &seen[1], &seen[2], &seen[3]);
    int code = 0;
    for (int i = 0; i < 4; ++i) {
        if (seen[i] != std::wcstol(argv[2 + i], nullptr, 10)) {
            code = 2;
        }
    }
    set(std::wcstol(argv[6], nullptr, 10), std::wcstol(argv[7], nullptr, 10),
        std::wcstol(argv[8], nullptr, 10), std::wcstol(argv[9], nullptr, 10));
    return code;
}
