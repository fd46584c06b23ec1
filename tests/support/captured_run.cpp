#include "captured_run.h"

#include <gtest/gtest.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::test {
namespace {

// An inheritable scratch file that goes away with its last handle.
UniqueFileHandle CreateCaptureFile(const wchar_t* prefix) {
    wchar_t folder[MAX_PATH] = {};
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    EXPECT_TRUE(length > 0 && length < MAX_PATH);
    EXPECT_NE(::GetTempFileNameW(folder, prefix, 0, path), 0u) << ::GetLastError();
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    UniqueFileHandle file(::CreateFileW(
        path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    EXPECT_TRUE(file) << "no capture file, error " << ::GetLastError();
    return file;
}

// Everything in the file from its start: the child wrote through the same
// file object, so the position is where it stopped.
std::string ReadAll(HANDLE file) {
    LARGE_INTEGER size{};
    std::string bytes;
    if (::GetFileSizeEx(file, &size) && size.QuadPart < (1 << 24) &&
        ::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (bytes.empty() ||
            (::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
             read == bytes.size())) {
            return bytes;
        }
    }
    ADD_FAILURE() << "capture file not read, error " << ::GetLastError();
    return {};
}

}  // namespace

CapturedRun RunCapturingOutput(const std::wstring& applicationName, std::wstring commandLine) {
    CapturedRun run;
    const UniqueFileHandle out = CreateCaptureFile(L"out");
    const UniqueFileHandle err = CreateCaptureFile(L"err");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION started = {};
    if (!out || !err ||
        !::CreateProcessW(applicationName.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                          nullptr, nullptr, &startup, &started)) {
        ADD_FAILURE() << "could not start the program, error " << ::GetLastError();
        return run;
    }
    UniqueProcessInformation process;
    process.adopt(started);
    if (::WaitForSingleObject(process.process.get(), 60000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end";
        ::TerminateProcess(process.process.get(), kRunFailedFirst + 1);
        run.exitCode = kRunFailedFirst + 1;
        return run;
    }
    EXPECT_TRUE(::GetExitCodeProcess(process.process.get(), &run.exitCode));
    run.out = ReadAll(out.get());
    run.err = ReadAll(err.get());
    return run;
}

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length <= 0 || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size,
                                             text.data(), length) != length) {
        ADD_FAILURE() << "not UTF-8, error " << ::GetLastError();
        return {};
    }
    return text;
}

}  // namespace lensbeacon::test
