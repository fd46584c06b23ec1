// InstLenswatch against Wine's real service control manager. Each test copies
// the installer and a stand-in service program (as "Lenswatch.exe") into a
// folder with blanks in its name, runs the installer there and reads the
// outcome back from the service manager and the registry. Set-up and
// tear-down both remove any registration, so a failed test leaves none.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lensbeacon/own_folder.h"
#include "lensbeacon/sc_handle.h"
#include "installed_suite.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"

namespace lensbeacon {
namespace {

constexpr const wchar_t* kServiceName = L"LenswatchService";
constexpr const wchar_t* kDisplayName = L"Lensbeacon Check Service";
constexpr const wchar_t* kServiceKey = L"SYSTEM\\CurrentControlSet\\Services\\LenswatchService";
// Upper bound for every wait on the service manager or a process.
constexpr DWORD kWaitLimit = 20000;

using UniqueSc = UniqueScHandle;

// Polls `done` until it holds or the wait limit has passed.
bool PollUntil(const std::function<bool()>& done) {
    return test::WaitUntil(done, std::chrono::milliseconds(kWaitLimit));
}

std::wstring TestFolder() {
    PathBuffer folder;
    return OwnFolder(nullptr, folder) ? std::wstring(folder) : std::wstring();
}

UniqueSc OpenManager() {
    return UniqueSc(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
}

bool KeyExists(const wchar_t* subKey) {
    UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

struct ServiceConfig {
    DWORD serviceType = 0;
    DWORD startType = 0;
    DWORD errorControl = 0;
    std::wstring binaryPath;
    std::wstring account;
    std::wstring displayName;
};

class InstallerEndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        RemoveService();
        folder_ = scratch_.Folder();
        const std::wstring dist = test::DistFolder();
        ASSERT_FALSE(dist.empty()) << "LENSBEACON_DIST is not set";
        scratch_.CopyIn(dist + L"InstLenswatch.exe", L"InstLenswatch.exe");
        scratch_.CopyIn(TestFolder() + L"stand_in_service.exe", L"Lenswatch.exe");
    }

    void TearDown() override {
        RemoveService();
        for (const UniqueHandle& process : processes_) {
            EXPECT_EQ(::WaitForSingleObject(process.get(), kWaitLimit), WAIT_OBJECT_0);
        }
        EXPECT_TRUE(PollUntil([] { return !ServiceExists(); }));
    }

    // Runs the installer copy with `arguments`; its exit code.
    DWORD RunInstaller(const std::wstring& arguments) {
        return test::RunProgram(folder_ + L"InstLenswatch.exe", arguments);
    }

    // Runs the installer copy under this process as its debugger and collects
    // the lines it writes with OutputDebugStringW.
    std::vector<std::wstring> RunInstallerForDebugLines(const std::wstring& arguments,
                                                        DWORD& exitCode) {
        std::vector<std::wstring> lines;
        exitCode = ~0u;
        const std::wstring program = folder_ + L"InstLenswatch.exe";
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                              DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &info)) {
            ADD_FAILURE() << "installer did not start: " << ::GetLastError();
            return lines;
        }
        const UniqueHandle process(info.hProcess);
        const UniqueHandle thread(info.hThread);
        for (;;) {
            DEBUG_EVENT event{};
            if (!::WaitForDebugEvent(&event, kWaitLimit * 2)) {
                ADD_FAILURE() << "no debug event: " << ::GetLastError();
                ::TerminateProcess(process.get(), 1);
                break;
            }
            DWORD continueStatus = DBG_CONTINUE;
            switch (event.dwDebugEventCode) {
                case CREATE_PROCESS_DEBUG_EVENT:
                    UniqueHandle(event.u.CreateProcessInfo.hFile).reset();
                    break;
                case LOAD_DLL_DEBUG_EVENT:
                    UniqueHandle(event.u.LoadDll.hFile).reset();
                    break;
                case EXCEPTION_DEBUG_EVENT:
                    if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
                        continueStatus = DBG_EXCEPTION_NOT_HANDLED;
                    }
                    break;
                case OUTPUT_DEBUG_STRING_EVENT:
                    lines.push_back(ReadDebugString(process.get(), event.u.DebugString));
                    break;
                default:
                    break;
            }
            const bool ended = event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
            if (ended) {
                exitCode = event.u.ExitProcess.dwExitCode;
            }
            ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
            if (ended) {
                break;
            }
        }
        return lines;
    }

    static std::wstring ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
        const std::size_t length = info.nDebugStringLength;
        const std::size_t unitSize = info.fUnicode ? sizeof(wchar_t) : 1;
        std::vector<char> bytes(length * unitSize + sizeof(wchar_t), 0);
        SIZE_T read = 0;
        if (length == 0 || !::ReadProcessMemory(process, info.lpDebugStringData, bytes.data(),
                                                length * unitSize, &read)) {
            return L"?";
        }
        std::wstring text;
        if (info.fUnicode) {
            text.assign(reinterpret_cast<const wchar_t*>(bytes.data()));
        } else {
            for (const char* c = bytes.data(); *c != '\0'; ++c) {
                text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
            }
        }
        return text;
    }

    static bool ServiceExists() {
        const UniqueSc manager = OpenManager();
        const UniqueSc service(::OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
        return static_cast<bool>(service) || ::GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST;
    }

    // The service's status; false when it is not registered.
    static bool Status(SERVICE_STATUS_PROCESS& status) {
        const UniqueSc manager = OpenManager();
        const UniqueSc service(::OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
        DWORD needed = 0;
        return service &&
               ::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                                      reinterpret_cast<BYTE*>(&status), sizeof(status), &needed);
    }

    static DWORD State() {
        SERVICE_STATUS_PROCESS status{};
        return Status(status) ? status.dwCurrentState : 0;
    }

    // Waits until the service runs and remembers its process, so tear-down
    // can wait for it to end. Null when it does not come up.
    HANDLE WaitForRunningProcess() {
        SERVICE_STATUS_PROCESS status{};
        if (!PollUntil(
                [&] { return Status(status) && status.dwCurrentState == SERVICE_RUNNING; })) {
            ADD_FAILURE() << "service not running, state " << State();
            return nullptr;
        }
        return Track(status.dwProcessId);
    }

    HANDLE Track(DWORD processId) {
        UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
        EXPECT_TRUE(process) << "service process " << processId << ": " << ::GetLastError();
        processes_.push_back(std::move(process));
        return processes_.back().get();
    }

    static bool ReadConfig(ServiceConfig& config) {
        const UniqueSc manager = OpenManager();
        const UniqueSc service(::OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_CONFIG));
        if (!service) {
            return false;
        }
        DWORD needed = 0;
        ::QueryServiceConfigW(service.get(), nullptr, 0, &needed);
        if (needed == 0) {
            return false;
        }
        std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
        auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.get());
        if (!::QueryServiceConfigW(service.get(), raw, needed, &needed)) {
            return false;
        }
        config.serviceType = raw->dwServiceType;
        config.startType = raw->dwStartType;
        config.errorControl = raw->dwErrorControl;
        config.binaryPath = raw->lpBinaryPathName ? raw->lpBinaryPathName : L"";
        config.account = raw->lpServiceStartName ? raw->lpServiceStartName : L"";
        config.displayName = raw->lpDisplayName ? raw->lpDisplayName : L"";
        return true;
    }

    // Registrations named or displayed as the camera-watch service.
    static int CountRegistrations() {
        const UniqueSc manager = OpenManager();
        DWORD needed = 0;
        DWORD count = 0;
        DWORD resume = 0;
        ::EnumServicesStatusExW(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32,
                                SERVICE_STATE_ALL, nullptr, 0, &needed, &count, &resume, nullptr);
        std::unique_ptr<BYTE[]> buffer(new BYTE[needed + 1]);
        resume = 0;
        if (!::EnumServicesStatusExW(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32,
                                     SERVICE_STATE_ALL, buffer.get(), needed + 1, &needed, &count,
                                     &resume, nullptr)) {
            ADD_FAILURE() << "EnumServicesStatusExW: " << ::GetLastError();
            return -1;
        }
        const auto* entries = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.get());
        int found = 0;
        for (DWORD i = 0; i < count; ++i) {
            found += ::_wcsicmp(entries[i].lpServiceName, kServiceName) == 0 ||
                     ::_wcsicmp(entries[i].lpDisplayName, kDisplayName) == 0;
        }
        return found;
    }

    // Stops and deletes any registration and its key, whatever state a test
    // left them in; the process is tracked so tear-down waits for its end.
    void RemoveService() {
        const UniqueSc manager = OpenManager();
        ASSERT_TRUE(manager) << ::GetLastError();
        const UniqueSc service(::OpenServiceW(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
        if (service) {
            SERVICE_STATUS_PROCESS status{};
            DWORD needed = 0;
            if (::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                                       reinterpret_cast<BYTE*>(&status), sizeof(status), &needed) &&
                status.dwProcessId != 0) {
                Track(status.dwProcessId);
            }
            SERVICE_STATUS stopped{};
            ::ControlService(service.get(), SERVICE_CONTROL_STOP, &stopped);
            ::DeleteService(service.get());
        }
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kServiceKey);
    }

    std::wstring QuotedServicePath() const { return L"\"" + folder_ + L"Lenswatch.exe\""; }

    // A folder with blanks in its name, emptied and removed after TearDown.
    test::ScratchFolder scratch_{L"Lensbeacon Setup Test"};
    std::wstring folder_;
    std::vector<UniqueHandle> processes_;
};

TEST_F(InstallerEndToEnd, InstallRegistersQuotedAutoStartServiceAndStartsIt) {
    ASSERT_NE(folder_.find(L' '), std::wstring::npos);
    EXPECT_EQ(RunInstaller(L"-i"), 0u);
    ServiceConfig config;
    ASSERT_TRUE(ReadConfig(config));
    EXPECT_EQ(config.serviceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(config.errorControl, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
    EXPECT_EQ(config.displayName, kDisplayName);
    EXPECT_EQ(::_wcsicmp(config.account.c_str(), L"LocalSystem"), 0) << config.account;
    // Quoted: the blank in the folder name cannot split the program path.
    EXPECT_EQ(config.binaryPath, QuotedServicePath());
    EXPECT_NE(WaitForRunningProcess(), nullptr);
}

TEST_F(InstallerEndToEnd, InstallingTwiceReplacesTheFirstRegistration) {
    ASSERT_EQ(RunInstaller(L"-i"), 0u);
    HANDLE first = WaitForRunningProcess();
    ASSERT_NE(first, nullptr);
    // Upper case works the same; the second run stops and deletes the first.
    EXPECT_EQ(RunInstaller(L"-I -DEBUG"), 0u);
    EXPECT_EQ(::WaitForSingleObject(first, kWaitLimit), WAIT_OBJECT_0);
    EXPECT_NE(WaitForRunningProcess(), nullptr);
    EXPECT_EQ(CountRegistrations(), 1);
}

TEST_F(InstallerEndToEnd, InstallOnlyRegistersWithoutStarting) {
    EXPECT_EQ(RunInstaller(L"-IS"), 0u);
    EXPECT_EQ(State(), static_cast<DWORD>(SERVICE_STOPPED));
    ServiceConfig config;
    ASSERT_TRUE(ReadConfig(config));
    EXPECT_EQ(config.binaryPath, QuotedServicePath());
    EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));

    EXPECT_EQ(RunInstaller(L"-is"), 0u);
    EXPECT_EQ(State(), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(CountRegistrations(), 1);

    EXPECT_EQ(RunInstaller(L"-i"), 0u);
    EXPECT_NE(WaitForRunningProcess(), nullptr);
}

TEST_F(InstallerEndToEnd, UninstallStopsAndRemovesServiceAndItsKey) {
    ASSERT_EQ(RunInstaller(L"-i"), 0u);
    HANDLE process = WaitForRunningProcess();
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(RunInstaller(L"-u"), 0u);
    EXPECT_EQ(::WaitForSingleObject(process, kWaitLimit), WAIT_OBJECT_0);
    EXPECT_TRUE(PollUntil([] { return !ServiceExists(); }));
    EXPECT_EQ(CountRegistrations(), 0);
    EXPECT_FALSE(KeyExists(kServiceKey));
}

TEST_F(InstallerEndToEnd, UninstallWithoutServiceSucceedsAndRemovesLeftoverKey) {
    UniqueRegKey leftover;
    ASSERT_EQ(
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kServiceKey) + L"\\Parameters").c_str(),
                          0, nullptr, 0, KEY_ALL_ACCESS, nullptr, leftover.put(), nullptr),
        ERROR_SUCCESS);
    leftover.reset();
    ASSERT_FALSE(ServiceExists());
    EXPECT_EQ(RunInstaller(L"-U -debug"), 0u);
    EXPECT_FALSE(KeyExists(kServiceKey));
    EXPECT_FALSE(ServiceExists());
}

TEST_F(InstallerEndToEnd, StartFailureIsTheExitCode) {
    // Without the service program the registration succeeds but the start fails.
    ASSERT_TRUE(::DeleteFileW((folder_ + L"Lenswatch.exe").c_str()));
    EXPECT_EQ(RunInstaller(L"-i"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(State(), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(RunInstaller(L"-u"), 0u);
    EXPECT_TRUE(PollUntil([] { return !ServiceExists(); }));
}

TEST_F(InstallerEndToEnd, NothingAskedTouchesNeitherServiceManagerNorRegistry) {
    UniqueRegKey leftover;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kServiceKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, leftover.put(), nullptr),
              ERROR_SUCCESS);
    leftover.reset();
    for (const wchar_t* arguments : {L"", L"-x", L"-debug -i", L"/i", L"-install"}) {
        EXPECT_EQ(RunInstaller(arguments), 0u) << arguments;
    }
    EXPECT_TRUE(KeyExists(kServiceKey));
    EXPECT_FALSE(ServiceExists());
}

TEST_F(InstallerEndToEnd, DebugLinesReachTheDebuggerOnlyWithDebug) {
    DWORD exitCode = ~0u;
    EXPECT_EQ(RunInstallerForDebugLines(L"-u -debug", exitCode),
              (std::vector<std::wstring>{L"[InstLenswatch] UninstallSpecService",
                                         L"[InstLenswatch] StopSpecService",
                                         L"[InstLenswatch] OpenService fail with Error = 0x424"}));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(RunInstallerForDebugLines(L"-u", exitCode).empty());
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(InstallerEndToEnd, RestartActionsAreAcceptedForANewAndAReplacingRegistration) {
    // Wine's manager accepts failure actions but keeps none to read back (the
    // unit tests check the actions at the installer's seam). What shows here:
    // the real call on the new service's handle succeeds, since a failure
    // would add a "ChangeServiceConfig2 fail" line, and the service starts.
    const std::vector<std::wstring> fresh{L"[InstLenswatch] InstallSpecService",
                                          L"[InstLenswatch] StopSpecService",
                                          L"[InstLenswatch] OpenService fail with Error = 0x424"};
    DWORD exitCode = ~0u;
    EXPECT_EQ(RunInstallerForDebugLines(L"-i -debug", exitCode), fresh);
    EXPECT_EQ(exitCode, 0u);
    HANDLE first = WaitForRunningProcess();
    ASSERT_NE(first, nullptr);

    const std::vector<std::wstring> replacing{L"[InstLenswatch] InstallSpecService",
                                              L"[InstLenswatch] StopSpecService"};
    EXPECT_EQ(RunInstallerForDebugLines(L"-i -debug", exitCode), replacing);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(::WaitForSingleObject(first, kWaitLimit), WAIT_OBJECT_0);
    EXPECT_NE(WaitForRunningProcess(), nullptr);
}

TEST_F(InstallerEndToEnd, ProgramAsksForAdministratorRightsAndCarriesAVersion) {
    const UniqueModule program(::LoadLibraryExW((folder_ + L"InstLenswatch.exe").c_str(), nullptr,
                                                LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program) << ::GetLastError();
    HRSRC manifest = ::FindResourceW(program.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const auto* bytes =
        static_cast<const char*>(::LockResource(::LoadResource(program.get(), manifest)));
    ASSERT_NE(bytes, nullptr);
    const std::string text(bytes, ::SizeofResource(program.get(), manifest));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos) << text;
    EXPECT_NE(::FindResourceW(program.get(), MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION),
              nullptr);
}

}  // namespace
}  // namespace lensbeacon
