// Test helper that the session-launch test places under the file names the
// service starts: it records its command line in "<its own path>.cmdline" and
// sets the manual-reset event "Lensbeacon session probe <its file name>",
// which the test creates first, then ends.
#include <windows.h>

#include <cwchar>
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
    const std::wstring eventName =
        L"Lensbeacon session probe " + path.substr(path.find_last_of(L'\\') + 1);
    lensbeacon::UniqueHandle started(::OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str()));
    if (!started) {
        return 2;
    }
    ::SetEvent(started.get());
    return 0;
}
