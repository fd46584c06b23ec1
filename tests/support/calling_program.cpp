#include "calling_program.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "camera_use_records_sandbox.h"
#include "probe_programs.h"

namespace lensbeacon::test {
namespace {

constexpr DWORD kEndMs = 10000;

// Makes every folder of `path` up to its last backslash.
void MakeFolders(const std::wstring& path) {
    for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
         at = path.find(L'\\', at + 1)) {
        const std::wstring folder = path.substr(0, at);
        if (!::CreateDirectoryW(folder.c_str(), nullptr)) {
            EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << folder;
        }
    }
}

}  // namespace

CallingProgram::CallingProgram(std::wstring path) : path_(std::move(path)) {
    MakeFolders(path_);
    EXPECT_TRUE(::CopyFileW(TestBinPath(L"camera_caller.exe").c_str(), path_.c_str(), FALSE))
        << "copy to " << path_.c_str() << " failed, error " << ::GetLastError();
    const std::wstring name = path_.substr(path_.find_last_of(L'\\') + 1);
    const ProbeSignal started(name.c_str());
    process_ = StartCommandLine(path_, L"\"" + path_ + L"\"");
    EXPECT_TRUE(process_.process && started.WaitStarted()) << "the caller did not start";
}

CallingProgram::~CallingProgram() {
    Kill();
    EXPECT_TRUE(::DeleteFileW(path_.c_str())) << "error " << ::GetLastError();
}

std::wstring CallingProgram::RecordKey() const {
    return CameraUseRecordsSandbox::DesktopAppKey(path_);
}

bool CallingProgram::Running() const {
    return process_.process && ::WaitForSingleObject(process_.process.get(), 0) == WAIT_TIMEOUT;
}

void CallingProgram::Kill() {
    if (!Running()) {
        return;
    }
    EXPECT_TRUE(::TerminateProcess(process_.process.get(), 1));
    EXPECT_EQ(::WaitForSingleObject(process_.process.get(), kEndMs), WAIT_OBJECT_0);
}

}  // namespace lensbeacon::test
