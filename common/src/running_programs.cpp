#include "lensbeacon/running_programs.h"

#include <windows.h>
#include <tlhelp32.h>

#include <iterator>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

std::vector<std::wstring> ReadRunningImagePaths() {
    std::vector<std::wstring> paths;
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return paths;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        UniqueHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (!process) {
            continue;
        }
        // Long paths are named in full; a name past the buffer is left out.
        wchar_t path[MAX_PATH * 4] = {};
        DWORD size = static_cast<DWORD>(std::size(path));
        if (::QueryFullProcessImageNameW(process.get(), 0, path, &size) && size > 0) {
            paths.emplace_back(path, size);
        }
    }
    return paths;
}

}  // namespace lensbeacon
