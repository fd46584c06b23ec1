// The probe signal a test program raises for its own file name: the name
// ProbeEventName (probe_programs.h) gives, made from the running program's
// own path, with no test framework behind it.
#pragma once

#include <windows.h>

#include <cwctype>
#include <string>

#include "lensbeacon/own_folder.h"

namespace lensbeacon::test {

// The running program's full path; empty when it cannot be read whole.
inline std::wstring OwnProgramPath() {
    PathBuffer path = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, kPathCapacity);
    return length == 0 || length >= kPathCapacity ? std::wstring() : std::wstring(path, length);
}

// Named for the file name alone, in lower case, as the test names it.
inline std::wstring OwnProbeEventName(const std::wstring& ownPath) {
    std::wstring name = L"Lensbeacon test probe ";
    for (wchar_t c : ownPath.substr(ownPath.find_last_of(L'\\') + 1)) {
        name.push_back(static_cast<wchar_t>(std::towlower(c)));
    }
    return name;
}

}  // namespace lensbeacon::test
