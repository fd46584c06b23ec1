// desktop_starter.exe DESKTOP COMMAND...: starts COMMAND (the rest of the
// command line) on DESKTOP ("WinSta0\Winlogon", say) and returns at once, 0
// when it started. The indicator's tests start the logon-desktop build on
// its desktop with it, in the language this program was started in.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "lensbeacon/unique_owner.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    lensbeacon::UniqueLocalMemory arguments(argv);
    if (argv == nullptr || count < 3) {
        return 2;
    }
    std::wstring command;
    for (int i = 2; i < count; ++i) {
        command += (i > 2 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
    }
    std::wstring desktop = argv[1];
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.lpDesktop = desktop.data();
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return 1;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return 0;
}
