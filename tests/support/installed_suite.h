// End-to-end fixture: the real programs copied into an install folder with
// blanks in its name inside the test prefix, run as real processes, and the
// real service driven through Wine's service control manager.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::test {

// The build's dist folder as a Windows path ending in a backslash.
std::wstring DistFolder();

// The Unix folder named by an environment variable of the test run, as a
// Windows path (through Wine's Z: drive) ending in a backslash; empty when
// the variable is not set.
std::wstring FolderFromEnvironment(const wchar_t* variable);

// Runs `program` with `arguments`; its exit code, or ~0u when it could not be
// started or did not end within a minute.
DWORD RunProgram(const std::wstring& program, const std::wstring& arguments);

// Polls `condition` until it holds or `timeout` passes; for states that offer
// nothing to wait on (an object coming into existence, a registry value).
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

bool Signaled(HANDLE event, DWORD timeoutMs = 0);

// Opens one of the suite's named events for waiting; empty when it does not exist.
UniqueHandle OpenSuiteEvent(const wchar_t* name, DWORD access = SYNCHRONIZE);

// Waits until a freshly started service has created all six events. It
// creates them in order, so the last one opening means they all do.
bool WaitForSuiteEvents(std::chrono::milliseconds timeout);

class InstalledSuite {
  public:
    // Copies `programs` (file names in dist) into "C:\Program Files\Lensbeacon Test\".
    explicit InstalledSuite(std::initializer_list<const wchar_t*> programs);
    ~InstalledSuite();

    const std::wstring& folder() const { return folder_; }
    DWORD Installer(const std::wstring& arguments) const;

    // The running service's process, for waiting on its end.
    UniqueHandle ServiceProcess() const;
    bool ServiceRegistered() const;

  private:
    std::wstring folder_;
};

}  // namespace lensbeacon::test
