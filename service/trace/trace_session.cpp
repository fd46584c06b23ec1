// The kernel logger session the trace thread runs, over TracePort.
#include "trace_session.h"

#include <atomic>
#include <cstdlib>
#include <memory>

namespace lensbeacon {
namespace {

// {9e814aad-3204-11d2-9a82-006008a86939}: the kernel logger's control GUID.
constexpr GUID kSystemTraceControlGuid = {
    0x9e814aad, 0x3204, 0x11d2, {0x9a, 0x82, 0x00, 0x60, 0x08, 0xa8, 0x69, 0x39}};

constexpr ULONG kQueryPerformanceCounterClock = 1;
constexpr ULONG kProcessAndImageLoadEvents = EVENT_TRACE_FLAG_PROCESS | EVENT_TRACE_FLAG_IMAGE_LOAD;
static_assert(kProcessAndImageLoadEvents == 5);

// The event callbacks carry no context: they find the running core here.
// Set and cleared by the trace thread around the consumption of one session.
std::atomic<CaptureTraceCore*> g_activeCore{nullptr};

ULONG WINAPI OnBuffer(PEVENT_TRACE_LOGFILEW) {
    CaptureTraceCore* core = g_activeCore.load();
    return core != nullptr ? core->KeepConsuming() : 0;
}

VOID WINAPI OnImageEvent(PEVENT_TRACE event) {
    CaptureTraceCore* core = g_activeCore.load();
    if (core != nullptr && event != nullptr) {
        core->OnImageEvent(*event);
    }
}

VOID WINAPI OnProcessEvent(PEVENT_TRACE event) {
    CaptureTraceCore* core = g_activeCore.load();
    if (core != nullptr && event != nullptr) {
        core->OnProcessEvent(*event);
    }
}

// OpenTraceW's failure value, in both forms a 32-bit caller may see.
bool IsInvalidConsumer(TRACEHANDLE handle) {
    return handle == INVALID_PROCESSTRACE_HANDLE || handle == 0x00000000FFFFFFFFull;
}

// Opens the real-time consumer of the kernel logger, hooks the two event
// classes and consumes until the buffer callback answers 0 or the session
// stops.
void Consume(const TracePort& api) {
    EVENT_TRACE_LOGFILEW logfile{};
    logfile.LoggerName = const_cast<LPWSTR>(kKernelLoggerName);
    logfile.ProcessTraceMode = PROCESS_TRACE_MODE_REAL_TIME;
    logfile.BufferCallback = OnBuffer;
    TRACEHANDLE consumer = api.openTrace(&logfile);
    if (IsInvalidConsumer(consumer)) {
        return;
    }
    api.setTraceCallback(&kImageLoadGuid, OnImageEvent);
    api.setTraceCallback(&kProcessGuid, OnProcessEvent);
    api.processTrace(&consumer, 1, nullptr, nullptr);
    api.closeTrace(consumer);
}

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

}  // namespace

void FillKernelTraceProperties(EVENT_TRACE_PROPERTIES& block) {
    block.Wnode.BufferSize = kTraceBlockSize;
    block.Wnode.Guid = kSystemTraceControlGuid;
    block.Wnode.ClientContext = kQueryPerformanceCounterClock;
    block.Wnode.Flags = WNODE_FLAG_TRACED_GUID;
    block.BufferSize = 0;
    block.MinimumBuffers = 0;
    block.MaximumBuffers = 0;
    block.MaximumFileSize = 0;
    block.AgeLimit = 0;
    block.LogFileMode = EVENT_TRACE_REAL_TIME_MODE;
    block.FlushTimer = 0;
    block.EnableFlags = kProcessAndImageLoadEvents;
    block.LogFileNameOffset = 0;
    block.LoggerNameOffset = kTracePropertiesSize;
}

void RunTraceSession(CaptureTraceCore& core, const TracePort& api) {
    core.Begin();
    g_activeCore.store(&core);
    std::unique_ptr<void, FreeDeleter> block(std::calloc(1, kTraceBlockSize));
    if (block) {
        auto* properties = static_cast<EVENT_TRACE_PROPERTIES*>(block.get());
        FillKernelTraceProperties(*properties);
        // Another owner of the kernel logger (or missing rights) means no
        // trace: the session is neither stopped nor shared.
        TRACEHANDLE session = 0;
        if (api.startTrace(&session, kKernelLoggerName, properties) == ERROR_SUCCESS) {
            const ULONG flags = api.getTraceEnableFlags(session);
            api.enableTrace(TRUE, flags, TRACE_LEVEL_VERBOSE, &kImageLoadGuid, session);
            api.enableTrace(TRUE, flags, TRACE_LEVEL_VERBOSE, &kProcessGuid, session);
            Consume(api);
            api.controlTrace(session, kKernelLoggerName, properties, EVENT_TRACE_CONTROL_STOP);
            api.closeTrace(session);
        }
    }
    g_activeCore.store(nullptr);
    core.End();
}

}  // namespace lensbeacon
