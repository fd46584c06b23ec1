// Program descriptions against the real file system and thread pool: a
// program file's description read where it may be, other shapes of the same
// path never read, the answers posted to the window, and a window closed
// while a lookup is under way.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "description_lookups.h"
#include "installed_suite.h"
#include "lensbeacon/camera_use_names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {
namespace {

// A bound for a broken build only: every wait below ends on what it waits for.
constexpr DWORD kAtMostMs = 10000;

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

// The test's own pool environment, whose cleanup group tells when every
// callback submitted through it has ended.
class PoolWithCleanup {
  public:
    PoolWithCleanup() : group_(::CreateThreadpoolCleanupGroup()) {
        ::InitializeThreadpoolEnvironment(&environment_);
        if (group_) {
            ::SetThreadpoolCallbackCleanupGroup(&environment_, group_.get(), nullptr);
        }
    }
    ~PoolWithCleanup() {
        WaitForCallbacks();
        group_.reset();
        ::DestroyThreadpoolEnvironment(&environment_);
    }
    PoolWithCleanup(const PoolWithCleanup&) = delete;
    PoolWithCleanup& operator=(const PoolWithCleanup&) = delete;

    bool Ready() const { return static_cast<bool>(group_); }
    PTP_CALLBACK_ENVIRON Environment() { return &environment_; }
    void WaitForCallbacks() {
        if (group_) {
            ::CloseThreadpoolCleanupGroupMembers(group_.get(), FALSE, nullptr);
        }
    }

  private:
    UniqueOwner<PTP_CLEANUP_GROUP, ::CloseThreadpoolCleanupGroup> group_;
    TP_CALLBACK_ENVIRON environment_{};
};

// Lookups the test controls: each path's answer is "about <path>"; a path
// starting with "gate" waits for the gate, after telling that it began, and
// tells when the gate did not open before the bound.
UniqueHandle g_began;
UniqueHandle g_gate;
std::atomic<int> g_lookups{0};
std::atomic<bool> g_gateStayedShut{false};

std::wstring ScriptedLookup(const std::wstring& path) {
    ++g_lookups;
    if (path.starts_with(L"gate")) {
        ::SetEvent(g_began.get());
        if (::WaitForSingleObject(g_gate.get(), kAtMostMs) != WAIT_OBJECT_0) {
            g_gateStayedShut = true;
        }
    }
    return L"about " + path;
}

class DescriptionLookupsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_lookups = 0;
        g_gateStayedShut = false;
        g_began.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        g_gate.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        window_.reset(::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr));
        ASSERT_TRUE(g_began && g_gate && window_ && pool_.Ready());
    }
    void TearDown() override {
        ::SetEvent(g_gate.get());
        pool_.WaitForCallbacks();
    }

    // How many description messages wait in the window's queue now; they
    // are taken out.
    int QueuedArrivals() {
        int count = 0;
        MSG message;
        while (::PeekMessageW(&message, window_.get(), kDescriptionsArrivedMessage,
                              kDescriptionsArrivedMessage, PM_REMOVE)) {
            ++count;
        }
        return count;
    }

    // Waits for the next description message.
    bool Arrival() {
        const ULONGLONG deadline = ::GetTickCount64() + kAtMostMs;
        for (;;) {
            MSG message;
            if (::PeekMessageW(&message, window_.get(), kDescriptionsArrivedMessage,
                               kDescriptionsArrivedMessage, PM_REMOVE)) {
                return true;
            }
            const ULONGLONG now = ::GetTickCount64();
            if (now >= deadline) {
                return false;
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                        QS_POSTMESSAGE);
        }
    }

    static std::vector<std::wstring> Paths(const std::vector<DescriptionLookups::Answer>& answers) {
        std::vector<std::wstring> paths;
        for (const DescriptionLookups::Answer& answer : answers) {
            EXPECT_EQ(answer.description, L"about " + answer.path);
            paths.push_back(answer.path);
        }
        return paths;
    }

    PoolWithCleanup pool_;
    UniqueOwner<HWND, ::DestroyWindow> window_;
};

TEST_F(DescriptionLookupsTest, AnswersArriveInOrderWithOnePostUntilTheyAreTaken) {
    DescriptionLookups lookups(ScriptedLookup, pool_.Environment());
    ASSERT_TRUE(lookups.Start(window_.get(), kDescriptionsArrivedMessage, {L"one", L"two"}));
    pool_.WaitForCallbacks();
    // Two answers, one message: the second found the first still untaken.
    EXPECT_EQ(QueuedArrivals(), 1);
    EXPECT_EQ(Paths(lookups.TakeAnswers()), (std::vector<std::wstring>{L"one", L"two"}));
    EXPECT_TRUE(lookups.TakeAnswers().empty());

    // Once taken, the next answer posts again, as soon as it is there.
    ASSERT_TRUE(lookups.Start(window_.get(), kDescriptionsArrivedMessage, {L"three", L"gate"}));
    ASSERT_TRUE(Arrival());
    EXPECT_EQ(Paths(lookups.TakeAnswers()), (std::vector<std::wstring>{L"three"}));
    ASSERT_TRUE(::SetEvent(g_gate.get()));
    ASSERT_TRUE(Arrival());
    EXPECT_EQ(Paths(lookups.TakeAnswers()), (std::vector<std::wstring>{L"gate"}));
    EXPECT_FALSE(g_gateStayedShut.load());
    EXPECT_FALSE(lookups.Start(window_.get(), kDescriptionsArrivedMessage, {}));
}

// The window goes while a lookup is under way: Close returns without
// waiting for it, the object is gone before it ends, and what it finds is
// neither posted nor looked at further.
TEST_F(DescriptionLookupsTest, ALookupThatOutlivesItsOwnerPostsNothing) {
    {
        DescriptionLookups lookups(ScriptedLookup, pool_.Environment());
        ASSERT_TRUE(lookups.Start(window_.get(), kDescriptionsArrivedMessage,
                                  {L"gate", L"after the gate"}));
        ASSERT_EQ(::WaitForSingleObject(g_began.get(), kAtMostMs), WAIT_OBJECT_0);
        lookups.Close();
        EXPECT_TRUE(lookups.TakeAnswers().empty());
        EXPECT_FALSE(lookups.Start(window_.get(), kDescriptionsArrivedMessage, {L"later"}));
    }
    // The gate opens only now: had Close or the destructor waited for the
    // lookup, the lookup would have found it shut until the bound.
    ASSERT_TRUE(::SetEvent(g_gate.get()));
    pool_.WaitForCallbacks();
    EXPECT_FALSE(g_gateStayedShut.load());
    EXPECT_EQ(QueuedArrivals(), 0);
    EXPECT_EQ(g_lookups.load(), 1);
}

}  // namespace
}  // namespace lensbeacon::indicator
