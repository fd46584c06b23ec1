// Test helper that stands for a program in a video call: it raises the probe
// signal named for its own file name (probe_programs.h) and then runs until
// it is ended from outside, as a call program runs until it closes or dies.
#include <windows.h>

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
    // Named for the file name alone, in lower case, as ProbeEventName makes it.
    std::wstring eventName = L"Lensbeacon test probe ";
    for (wchar_t c : path.substr(path.find_last_of(L'\\') + 1)) {
        eventName.push_back(static_cast<wchar_t>(std::towlower(c)));
    }
    lensbeacon::UniqueHandle started(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    if (!started || !::SetEvent(started.get())) {
        return 2;
    }
    ::Sleep(INFINITE);
    return 0;
}
