// Helpers for tests that run the suite's programs as real processes in Wine:
// paths of the built programs, a throwaway folder of copies, starting a
// program and waiting for its exit, and the launch probe's named signal.
#pragma once

#include <windows.h>

#include <string>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::test {

// A program or library in the build's dist/ folder, as a Windows path.
std::wstring DistPath(const wchar_t* file);
// A file beside the running test executable.
std::wstring TestBinPath(const wchar_t* file);

// Starts `commandLine`, given whole with its program token (with
// `applicationName` when given), and waits for its exit; returns the exit
// code, or a failure code the test reports when it could not start or did not
// end within a minute.
DWORD RunCommandLine(const std::wstring& applicationName, std::wstring commandLine);
// Starts `commandLine` the same way without waiting; empty handles (and a
// test failure) when it could not start.
UniqueProcessInformation StartCommandLine(const std::wstring& applicationName,
                                          std::wstring commandLine);
// The failure codes RunCommandLine reports: not started, did not end, no exit
// code.
inline constexpr DWORD kRunFailedFirst = 0xDEAD0001;
inline constexpr DWORD kRunFailedLast = 0xDEAD0003;

// A fresh folder under the temporary folder, with a blank in its name; its
// files are deleted with it.
class ScratchFolder {
  public:
    explicit ScratchFolder(const wchar_t* label);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Full path of `name` in the folder, ending without a backslash.
    std::wstring Path(const wchar_t* name) const { return folder_ + name; }
    // The folder, with its trailing backslash.
    const std::wstring& Folder() const { return folder_; }
    void CopyIn(const std::wstring& source, const wchar_t* name);

  private:
    std::wstring folder_;
};

// The signal launch_probe.exe raises when it starts under a file name: a
// manual-reset event the test creates first, so it outlives the probe.
class ProbeSignal {
  public:
    explicit ProbeSignal(const wchar_t* probeFileName);

    // Waits (up to a minute) for the probe to start; true when it did.
    bool WaitStarted() const;
    bool Started() const;

  private:
    UniqueHandle event_;
};

// The event name launch_probe.exe signals for its own file name.
std::wstring ProbeEventName(const wchar_t* probeFileName);

// Whether a process runs from a file of this name (case-insensitive).
bool ProcessRunning(const wchar_t* exeName);
// Waits (up to a minute each) for every process of this file name to end.
void WaitForProcessesToEnd(const wchar_t* exeName);

// The command line a probe recorded in "<its path>.cmdline"; empty when none.
std::wstring RecordedCommandLine(const std::wstring& probePath);

}  // namespace lensbeacon::test
