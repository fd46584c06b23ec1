// Test helper started by the launchers in place of the programs they open: it
// records its command line in "<its own path>.cmdline", then sets the
// manual-reset event named for its file name, and ends.
#include <windows.h>

#include <cwchar>
#include <string>

#include "lensbeacon/unique_owner.h"
#include "own_probe_event.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring path = lensbeacon::test::OwnProgramPath();
    if (path.empty()) {
        return 3;
    }
    const wchar_t* line = ::GetCommandLineW();
    lensbeacon::UniqueFileHandle record(::CreateFileW((path + L".cmdline").c_str(), GENERIC_WRITE,
                                                      0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (record) {
        DWORD written = 0;
        ::WriteFile(record.get(), line, static_cast<DWORD>(std::wcslen(line) * sizeof(wchar_t)),
                    &written, nullptr);
        record.reset();
    }
    lensbeacon::UniqueHandle started(
        ::CreateEventW(nullptr, TRUE, FALSE, lensbeacon::test::OwnProbeEventName(path).c_str()));
    if (!started) {
        return 2;
    }
    ::SetEvent(started.get());
    return 0;
}
