// Plainrun: opens the file named after "=" in its first argument through the
// shell, with the default verb, as the user it runs as. Shows no window.
#include <windows.h>
#include <shellapi.h>

#include "open_argument.h"

namespace {

void OpenWithShell(const wchar_t* file, void*) {
    // The outcome does not change the exit code: failures are silent.
    ::ShellExecuteW(nullptr, nullptr, file, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return lensbeacon::RunPlainrun(::GetCommandLineW(), OpenWithShell, nullptr);
}
