// Program descriptions against the real file system: a program file's
// description read where it may be, and other shapes of the same path never
// read.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "installed_suite.h"
#include "lensbeacon/camera_use_names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {
namespace {

// A copy of LenspopUI, whose FileDescription is "Show Lensbeacon", in a
// folder of its own on C:.
class ProgramCopy {
  public:
    ProgramCopy() {
        wchar_t temp[MAX_PATH];
        const DWORD length = ::GetTempPathW(MAX_PATH, temp);
        EXPECT_TRUE(length > 0 && length < MAX_PATH);
        folder_ = std::wstring(temp) + L"Lensbeacon descriptions\\";
        EXPECT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS);
        path_ = folder_ + L"Show.exe";
        const std::wstring program = test::DistFolder() + L"LenspopUI.exe";
        EXPECT_TRUE(::CopyFileW(program.c_str(), path_.c_str(), FALSE)) << program;
    }
    ~ProgramCopy() {
        ::DeleteFileW(path_.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    const std::wstring& folder() const { return folder_; }
    const std::wstring& path() const { return path_; }

  private:
    std::wstring folder_;
    std::wstring path_;
};

TEST(ProgramDescriptionFiles, AProgramOnAFixedDriveIsNamedByItsDescription) {
    ProgramCopy copy;
    ASSERT_EQ(copy.path().substr(0, 3), L"C:\\");
    EXPECT_EQ(::GetDriveTypeW(L"C:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_TRUE(MayOpenForDescription(copy.path()));
    EXPECT_EQ(ReadLocalFileDescription(copy.path()), L"Show Lensbeacon");
    // A file without a version resource, and no file at all.
    const std::wstring plain = copy.folder() + L"plain.exe";
    UniqueFileHandle file(::CreateFileW(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    file.reset();
    EXPECT_EQ(ReadLocalFileDescription(plain), L"");
    EXPECT_TRUE(::DeleteFileW(plain.c_str()));
    EXPECT_EQ(ReadLocalFileDescription(plain), L"");
    EXPECT_FALSE(MayOpenForDescription(plain));
}

// Each of these names the same file, and the version calls would read it:
// the bare file name through the search path (here the current folder), the
// "\\?\" and "\\.\" forms, forward slashes. None of them is read.
TEST(ProgramDescriptionFiles, OtherShapesOfAReadablePathAreNeverRead) {
    ProgramCopy copy;
    wchar_t before[MAX_PATH];
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, before), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryW(copy.folder().c_str()));
    std::wstring slashes = copy.path();
    for (wchar_t& c : slashes) {
        c = c == L'\\' ? L'/' : c;
    }
    for (const std::wstring& path :
         {std::wstring(L"Show.exe"), L"\\\\?\\" + copy.path(), L"\\\\.\\" + copy.path(), slashes}) {
        DWORD ignored = 0;
        EXPECT_NE(::GetFileVersionInfoSizeW(path.c_str(), &ignored), 0u)
            << "the version calls cannot read " << path;
        EXPECT_EQ(ReadLocalFileDescription(path), L"") << path;
    }
    EXPECT_TRUE(::SetCurrentDirectoryW(before));
}

}  // namespace
}  // namespace lensbeacon
