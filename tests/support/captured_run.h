// Test helper: runs a console program with its standard output and standard
// error redirected to files, as a script or a pipe would take them, waits for
// its exit and hands back what it wrote.
#pragma once

#include <windows.h>

#include <string>

#include "probe_programs.h"  // kRunFailedFirst

namespace lensbeacon::test {

struct CapturedRun {
    DWORD exitCode = kRunFailedFirst;  // when it did not run
    std::string out;                   // the bytes written to standard output
    std::string err;                   // and to standard error
};

// Starts `commandLine` (given whole, with its program token) from
// `applicationName` and waits for its exit (a minute at most); a program that
// cannot be started or does not end fails the test.
CapturedRun RunCapturingOutput(const std::wstring& applicationName, std::wstring commandLine);

// `bytes` read as UTF-8; a sequence that is not UTF-8 fails the test.
std::wstring FromUtf8(const std::string& bytes);

}  // namespace lensbeacon::test
