// Lenscheck's text on standard output or standard error: UTF-16 through
// WriteConsoleW when the handle is a console, so every character shows in
// cmd and PowerShell whatever the code page; UTF-8 bytes through WriteFile
// when it is redirected to a file or a pipe.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lensbeacon {

// Writes each line followed by CR LF to GetStdHandle(`which`); false when
// there is no such handle or a write fails.
[[nodiscard]] bool WriteLines(DWORD which, const std::vector<std::wstring>& lines);

}  // namespace lensbeacon
