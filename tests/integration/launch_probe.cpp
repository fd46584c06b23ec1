// Test helper started by the launchers in place of the programs they open: it
// records its command line in "<its own path>.cmdline", then sets the
// manual-reset event named for its file name, and ends.
#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "lensbeacon/own_folder.h"
#include "lensbeacon/unique_owner.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    lensbeacon::PathBuffer ownPath = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, ownPath, lensbeacon::kPathCapacity);
    if (length == 0 || length >= lensbeacon::kPathCapacity) {
        return 3;
    }
    const std::wstring path(ownPath);
    const wchar_t* line = ::GetCommandLineW();
    lensbeacon::UniqueFileHandle record(::CreateFileW((path + L".cmdline").c_str(), GENERIC_WRITE,
                                                      0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (record) {
        DWORD written = 0;
        ::WriteFile(record.get(), line, static_cast<DWORD>(std::wcslen(line) * sizeof(wchar_t)),
                    &written, nullptr);
        record.reset();
    }
    // Named for the file name alone, in lower case, as the test names it.
    std::wstring eventName = L"Lensbeacon test probe ";
    for (wchar_t c : path.substr(path.find_last_of(L'\\') + 1)) {
        eventName.push_back(static_cast<wchar_t>(std::towlower(c)));
    }
    lensbeacon::UniqueHandle started(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    if (!started) {
        return 2;
    }
    ::SetEvent(started.get());
    return 0;
}
