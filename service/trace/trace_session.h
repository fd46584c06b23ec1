// The kernel logger session behind the camera-activity trace: the session's
// properties block, the calls that start, consume and stop it, and the trace
// thread the watch loop starts once per run.
#pragma once

#include <windows.h>
#include <evntrace.h>
#include <evntcons.h>

#include <cstddef>

#include "camera_trace.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

inline constexpr const wchar_t* kKernelLoggerName = L"NT Kernel Logger";

// The properties block: the fixed part followed by room for the logger name
// (16 characters and the NUL), which StartTraceW writes itself.
inline constexpr std::size_t kTracePropertiesSize = sizeof(EVENT_TRACE_PROPERTIES);
inline constexpr std::size_t kTraceBlockSize = kTracePropertiesSize + 17 * sizeof(wchar_t);
// The shipped service is 32-bit; a 64-bit build of these sources exists only
// to run the tests where 32-bit code cannot run.
#ifndef _WIN64
static_assert(sizeof(EVENT_TRACE_PROPERTIES) == 120, "32-bit layout of the fixed part");
static_assert(kTraceBlockSize == 154, "fixed part plus the logger name");
static_assert(sizeof(EVENT_TRACE_LOGFILEW) == 416, "32-bit layout of the consumer record");
#endif

// Fills a zeroed block of kTraceBlockSize bytes for a real-time kernel
// session that delivers process and image-load events.
void FillKernelTraceProperties(EVENT_TRACE_PROPERTIES& block);

// The event-tracing calls, in the form the session makes them; tests
// substitute fakes.
struct TracePort {
    ULONG(WINAPI* startTrace)(PTRACEHANDLE, LPCWSTR, PEVENT_TRACE_PROPERTIES);
    ULONG(WINAPI* getTraceEnableFlags)(TRACEHANDLE);
    ULONG(WINAPI* enableTrace)(ULONG, ULONG, ULONG, LPCGUID, TRACEHANDLE);
    TRACEHANDLE(WINAPI* openTrace)(PEVENT_TRACE_LOGFILEW);
    ULONG(WINAPI* setTraceCallback)(LPCGUID, PEVENT_CALLBACK);
    ULONG(WINAPI* processTrace)(PTRACEHANDLE, ULONG, LPFILETIME, LPFILETIME);
    ULONG(WINAPI* controlTrace)(TRACEHANDLE, LPCWSTR, PEVENT_TRACE_PROPERTIES, ULONG);
    ULONG(WINAPI* closeTrace)(TRACEHANDLE);
};
[[nodiscard]] const TracePort& Win32TracePort();

// Whether Windows itself is 64-bit (this 32-bit program runs under WOW64),
// which decides the layout of the kernel's event payloads.
[[nodiscard]] bool IsWindows64();

// The body of the trace thread: starts the kernel logger session, consumes
// its events into `core` until the running flag drops or the session stops,
// stops the session, and ends the core (which fails over when the trace ended
// on its own). Only one session runs at a time in a process: the event
// callbacks carry no context, so they find `core` through one process-wide
// pointer that is set for the duration of the call.
void RunTraceSession(CaptureTraceCore& core, const TracePort& api = Win32TracePort());

// The trace thread as the watch loop uses it: started at most once per run,
// stopped by withdrawing the shared state and waiting for the thread.
class TraceThread {
  public:
    // `shared` must outlive the thread (it is the watch loop's own state).
    explicit TraceThread(TraceShared& shared) : shared_(shared) {}
    // A thread that will not end in time is left to the process's end.
    ~TraceThread() { static_cast<void>(Stop()); }
    TraceThread(const TraceThread&) = delete;
    TraceThread& operator=(const TraceThread&) = delete;

    // Starts the thread unless one exists; false when none exists afterwards.
    [[nodiscard]] bool Start();

    // Withdraws the shared state (running flag 0, event references cleared),
    // then waits up to `timeoutMs` for the thread, closes its handle and
    // forgets it. The caller closes the trace events afterwards. True when no
    // thread was left running (none existed, or it ended in time).
    [[nodiscard]] bool Stop(DWORD timeoutMs = 8000);

    [[nodiscard]] bool started() const { return static_cast<bool>(thread_); }

  private:
    static DWORD WINAPI ThreadMain(LPVOID parameter);

    TraceShared& shared_;
    UniqueHandle thread_;
};

}  // namespace lensbeacon
