// The real trace calls and the trace thread.
#include <windows.h>

#include "lensbeacon/wow64.h"
#include "trace_session.h"

namespace lensbeacon {
namespace {

const TracePort kRealTraceApi = {
    ::StartTraceW,      ::GetTraceEnableFlags, ::EnableTrace,   ::OpenTraceW,
    ::SetTraceCallback, ::ProcessTrace,        ::ControlTraceW, ::CloseTrace,
};

}  // namespace

const TracePort& Win32TracePort() {
    return kRealTraceApi;
}

bool IsWindows64() {
    return RunningUnderWow64();
}

bool TraceThread::Start() {
    if (!thread_) {
        thread_.reset(::CreateThread(nullptr, 0, ThreadMain, &shared_, 0, nullptr));
    }
    return static_cast<bool>(thread_);
}

bool TraceThread::Stop(DWORD timeoutMs) {
    shared_.Withdraw();
    if (!thread_) {
        return true;
    }
    const bool ended = ::WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_OBJECT_0;
    thread_.reset();
    return ended;
}

DWORD WINAPI TraceThread::ThreadMain(LPVOID parameter) {
    CaptureTraceCore core(*static_cast<TraceShared*>(parameter), IsWindows64());
    RunTraceSession(core);
    return 0;
}

}  // namespace lensbeacon
