#include "probe_programs.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <utility>
#include <vector>

#include "lensbeacon/own_folder.h"
#include "installed_suite.h"  // DistFolder
#include "lensbeacon/unique_owner.h"
#include "own_probe_event.h"

namespace lensbeacon::test {
namespace {

constexpr DWORD kProgramTimeoutMs = 60000;

}  // namespace

std::wstring DistPath(const wchar_t* file) {
    return DistFolder() + file;
}

std::wstring TestBinPath(const wchar_t* file) {
    PathBuffer path;
    EXPECT_TRUE(OwnFolderPath(file, path));
    return path;
}

UniqueProcessInformation StartCommandLine(const std::wstring& applicationName,
                                          std::wstring commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    UniqueProcessInformation started;
    if (::CreateProcessW(applicationName.empty() ? nullptr : applicationName.c_str(),
                         commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &process)) {
        started.adopt(process);
    } else {
        ADD_FAILURE() << "could not start the program, error " << ::GetLastError();
    }
    return started;
}

DWORD RunCommandLine(const std::wstring& applicationName, std::wstring commandLine) {
    const UniqueProcessInformation process =
        StartCommandLine(applicationName, std::move(commandLine));
    if (!process.process) {
        return kRunFailedFirst;
    }
    if (::WaitForSingleObject(process.process.get(), kProgramTimeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end";
        ::TerminateProcess(process.process.get(), kRunFailedFirst + 1);
        return kRunFailedFirst + 1;
    }
    DWORD code = kRunFailedLast;
    EXPECT_TRUE(::GetExitCodeProcess(process.process.get(), &code));
    return code;
}

ScratchFolder::ScratchFolder(const wchar_t* label) {
    wchar_t temp[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, temp);
    EXPECT_TRUE(length > 0 && length < MAX_PATH);
    static int counter = 0;
    folder_ = std::wstring(temp) + label + L" " + std::to_wstring(::GetCurrentProcessId()) + L"-" +
              std::to_wstring(++counter) + L"\\";
    EXPECT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr)) << ::GetLastError();
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(::FindFirstFileW((folder_ + L"*").c_str(), &found));
    if (search) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                ::DeleteFileW((folder_ + found.cFileName).c_str());
            }
        } while (::FindNextFileW(search.get(), &found));
    }
    ::RemoveDirectoryW(folder_.c_str());
}

void ScratchFolder::CopyIn(const std::wstring& source, const wchar_t* name) {
    ASSERT_TRUE(::CopyFileW(source.c_str(), Path(name).c_str(), FALSE))
        << "copy failed, error " << ::GetLastError();
}

std::wstring ProbeEventName(const wchar_t* probeFileName) {
    return OwnProbeEventName(probeFileName);
}

ProbeSignal::ProbeSignal(const wchar_t* probeFileName) {
    event_.reset(::CreateEventW(nullptr, TRUE, FALSE, ProbeEventName(probeFileName).c_str()));
    EXPECT_TRUE(event_);
    // A signal left by an earlier run must not count.
    ::ResetEvent(event_.get());
}

bool ProbeSignal::WaitStarted() const {
    return ::WaitForSingleObject(event_.get(), kProgramTimeoutMs) == WAIT_OBJECT_0;
}

bool ProbeSignal::Started() const {
    return ::WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0;
}

namespace {

std::vector<DWORD> ProcessIdsNamed(const wchar_t* exeName) {
    std::vector<DWORD> ids;
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    EXPECT_TRUE(snapshot);
    if (!snapshot) {
        return ids;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::_wcsicmp(entry.szExeFile, exeName) == 0) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    return ids;
}

}  // namespace

bool ProcessRunning(const wchar_t* exeName) {
    return !ProcessIdsNamed(exeName).empty();
}

void WaitForProcessesToEnd(const wchar_t* exeName) {
    for (DWORD id : ProcessIdsNamed(exeName)) {
        UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
        if (process) {
            EXPECT_EQ(::WaitForSingleObject(process.get(), kProgramTimeoutMs), WAIT_OBJECT_0);
        }
    }
}

std::wstring RecordedCommandLine(const std::wstring& probePath) {
    UniqueFileHandle file(::CreateFileW((probePath + L".cmdline").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return {};
    }
    std::wstring text(4096, L'\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                    &read, nullptr)) {
        return {};
    }
    text.resize(read / sizeof(wchar_t));
    return text;
}

}  // namespace lensbeacon::test
