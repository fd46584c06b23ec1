// The real trace thread in Wine. Wine has no kernel logger, so the trace
// thread must fail over at once, and only while the watch loop wants it.
#include <gtest/gtest.h>

#include "camera_trace.h"
#include "lensbeacon/unique_owner.h"
#include "trace_session.h"

namespace lensbeacon {
namespace {

TEST(TraceThreadWineTest, FailsOverPromptlyWhenTheKernelLoggerCannotRun) {
    UniqueHandle active(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle idle(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
    ASSERT_TRUE(active && idle);
    TraceShared shared;
    shared.HandOver(active.get(), idle.get(), ::GetCurrentProcessId());
    TraceThread thread(shared);
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.Start());  // at most one thread: the second call starts none

    ASSERT_EQ(::WaitForSingleObject(active.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(shared.idle.load(), 0);
    EXPECT_EQ(::WaitForSingleObject(idle.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.started());
    EXPECT_EQ(shared.running.load(), 0);
    EXPECT_EQ(shared.activeEvent.load(), nullptr);
    EXPECT_EQ(shared.idleEvent.load(), nullptr);
}

TEST(TraceThreadWineTest, RealSessionCallsFailOverOnlyWhileTheLoopWantsTheTrace) {
    UniqueHandle active(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle idle(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
    ASSERT_TRUE(active && idle);
    TraceShared shared;

    // Run on this thread: the loop has already withdrawn, so no fail-over.
    shared.HandOver(active.get(), idle.get(), ::GetCurrentProcessId());
    shared.running.store(0);
    {
        CaptureTraceCore core(shared, IsWindows64());
        RunTraceSession(core);
    }
    EXPECT_EQ(shared.idle.load(), 1);
    EXPECT_EQ(::WaitForSingleObject(active.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(::WaitForSingleObject(idle.get(), 0), WAIT_OBJECT_0);

    // Still wanted: the trace that could not run fails over.
    shared.running.store(1);
    {
        CaptureTraceCore core(shared, IsWindows64());
        RunTraceSession(core);
    }
    EXPECT_EQ(shared.idle.load(), 0);
    EXPECT_EQ(::WaitForSingleObject(active.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(::WaitForSingleObject(idle.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
}  // namespace lensbeacon
