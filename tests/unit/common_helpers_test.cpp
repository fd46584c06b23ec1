// The shared bounded text builder, the owner of values obtained through an
// interface of system calls, and the Win32 owners' care for the last error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lensbeacon/api_owner.h"
#include "lensbeacon/bounded_text.h"
#include "lensbeacon/own_folder.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {
namespace {

TEST(BoundedText, FillsToCapacityAndRefusesOneCharacterMore) {
    wchar_t buffer[6];
    EXPECT_TRUE(BoundedText(buffer).Append(L"ab").Append(L'c').Append(L"de").ok());
    EXPECT_STREQ(buffer, L"abcde");

    BoundedText tooLong(buffer);
    EXPECT_FALSE(tooLong.Append(L"abc").Append(L"def").ok());
    EXPECT_STREQ(buffer, L"");
    // Once refused, later pieces that would fit are ignored too.
    EXPECT_FALSE(tooLong.Append(L"x").ok());
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(tooLong.length(), 0u);
}

TEST(BoundedText, JoinPathKeepsTheTerminatorInsideTheBuffer) {
    PathBuffer path;
    const std::wstring folder(kPathCapacity - 6, L'f');
    EXPECT_TRUE(JoinPath(folder.c_str(), L"a.exe", path));
    EXPECT_EQ(std::wstring(path), folder + L"a.exe");
    EXPECT_FALSE(JoinPath(folder.c_str(), L"ab.exe", path));
    EXPECT_STREQ(path, L"");
}

struct CountingApi {
    std::vector<int> closed;
    void Close(int value) { closed.push_back(value); }
};
bool IsZeroOrMinusOne(int value) {
    return value == 0 || value == -1;
}
using CountedOwner = ApiOwner<CountingApi, int, &CountingApi::Close, IsZeroOrMinusOne>;

TEST(ApiOwner, ClosesEachValueOnceThroughTheInterfaceAndNeverAnEmptyOne) {
    CountingApi api;
    {
        CountedOwner first(api, 7);
        CountedOwner second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(second);
        *second.put() = 8;  // put() released 7 first
        CountedOwner empty(api, -1);
        EXPECT_FALSE(empty);
        CountedOwner released(api, 9);
        EXPECT_EQ(released.release(), 9);
    }
    EXPECT_EQ(api.closed, (std::vector<int>{7, 8}));
}

int g_failingCloses = 0;
void CloseAndFail(HANDLE) {
    ++g_failingCloses;
    ::SetLastError(ERROR_INVALID_HANDLE);
}

// A call fails, and what it left is released before its error is read: the
// release must not replace that error with its own.
TEST(UniqueOwner, ReleasingKeepsTheErrorOfTheCallThatFailed) {
    g_failingCloses = 0;
    {
        UniqueOwner<HANDLE, CloseAndFail> owner(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
        ::SetLastError(ERROR_ACCESS_DENIED);
        owner.reset(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(2)));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        ::SetLastError(ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(g_failingCloses, 2);
    {
        const WindowDc screen(nullptr);
        ASSERT_TRUE(screen);
        ::SetLastError(ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
}  // namespace lensbeacon
