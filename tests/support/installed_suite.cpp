#include "installed_suite.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "lensbeacon/names.h"
#include "lensbeacon/sc_handle.h"
#include "probe_programs.h"

namespace lensbeacon::test {
namespace {

constexpr const wchar_t* kInstallFolder = L"C:\\Program Files\\Lensbeacon Test\\";

UniqueScHandle OpenSuiteService(DWORD access) {
    UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        return {};
    }
    return UniqueScHandle(::OpenServiceW(manager.get(), kServiceName, access));
}

}  // namespace

std::wstring FolderFromEnvironment(const wchar_t* variable) {
    const wchar_t* unixPath = _wgetenv(variable);
    if (unixPath == nullptr) {
        return L"";
    }
    std::wstring path = L"Z:";
    for (const wchar_t* c = unixPath; *c != L'\0'; ++c) {
        path += *c == L'/' ? L'\\' : *c;
    }
    return path + L"\\";
}

std::wstring DistFolder() {
    std::wstring folder = FolderFromEnvironment(L"LENSBEACON_DIST");
    if (folder.empty()) {
        ADD_FAILURE() << "LENSBEACON_DIST is not set";
    }
    return folder;
}

DWORD RunProgram(const std::wstring& program, const std::wstring& arguments) {
    const DWORD code = RunCommandLine(program, L"\"" + program + L"\" " + arguments);
    return code >= kRunFailedFirst && code <= kRunFailedLast ? ~0u : code;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool Signaled(HANDLE event, DWORD timeoutMs) {
    return ::WaitForSingleObject(event, timeoutMs) == WAIT_OBJECT_0;
}

UniqueHandle OpenSuiteEvent(const wchar_t* name, DWORD access) {
    return UniqueHandle(::OpenEventW(access, FALSE, name));
}

bool WaitForSuiteEvents(std::chrono::milliseconds timeout) {
    return WaitUntil([] { return static_cast<bool>(OpenSuiteEvent(kEventNames[kEventCount - 1])); },
                     timeout);
}

InstalledSuite::InstalledSuite(std::initializer_list<const wchar_t*> programs)
    : folder_(kInstallFolder) {
    ::CreateDirectoryW(L"C:\\Program Files", nullptr);
    const BOOL created = ::CreateDirectoryW(folder_.c_str(), nullptr);
    EXPECT_TRUE(created || ::GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring dist = DistFolder();
    for (const wchar_t* program : programs) {
        EXPECT_TRUE(::CopyFileW((dist + program).c_str(), (folder_ + program).c_str(), FALSE))
            << "copy failed, error " << ::GetLastError();
    }
}

InstalledSuite::~InstalledSuite() {
    // Whatever the test did, leave no service behind for the next one, and
    // let its process end: the next test copies over its program file.
    if (ServiceRegistered()) {
        UniqueHandle process = ServiceProcess();
        EXPECT_EQ(Installer(L"-u"), 0u);
        if (process) {
            EXPECT_EQ(::WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
        }
    }
}

DWORD InstalledSuite::Installer(const std::wstring& arguments) const {
    return RunProgram(folder_ + L"InstLenswatch.exe", arguments);
}

bool InstalledSuite::ServiceRegistered() const {
    return static_cast<bool>(OpenSuiteService(SERVICE_QUERY_STATUS));
}

UniqueHandle InstalledSuite::ServiceProcess() const {
    UniqueScHandle service = OpenSuiteService(SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!service ||
        !::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                                reinterpret_cast<BYTE*>(&status), sizeof(status), &needed) ||
        status.dwProcessId == 0) {
        return {};
    }
    return UniqueHandle(::OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId));
}

}  // namespace lensbeacon::test
