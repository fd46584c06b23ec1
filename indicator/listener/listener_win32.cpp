// The listener thread with the real events, session and desktop calls and
// posted messages, and its start and stop on the user-interface thread.
#include <windows.h>

#include <memory>
#include <new>

#include "lensbeacon/names.h"
#include "listener.h"

namespace lensbeacon::indicator {
namespace {

// Everything the thread needs, owned by the thread: a copy of the stop event,
// the state and the two message targets.
struct ListenerContext {
    IndicatorState& state;
    UniqueHandle stopEvent;
    HWND frame;
    HWND indicator;
};

class Win32ListenerPort final : public ListenerPort {
  public:
    explicit Win32ListenerPort(const ListenerContext& context) noexcept : context_(context) {}

    bool OpenEvent(CameraEvent which) override {
        UniqueHandle& slot = Slot(which);
        slot.reset(::OpenEventW(SYNCHRONIZE, FALSE, Name(which)));
        return static_cast<bool>(slot);
    }

    DWORD WaitAny(CameraEvent awaited, DWORD count, DWORD timeoutMs) override {
        const HANDLE handles[3] = {context_.stopEvent.get(), Slot(awaited).get(), service_.get()};
        return ::WaitForMultipleObjects(count, handles, FALSE, timeoutMs);
    }

    bool IsSignaled(CameraEvent which) override {
        return ::WaitForSingleObject(Slot(which).get(), 0) == WAIT_OBJECT_0;
    }

    void CloseEvents() override {
        on_.reset();
        off_.reset();
        service_.reset();
    }

    bool ProcessSessionId(DWORD& session) override {
        return ::ProcessIdToSessionId(::GetCurrentProcessId(), &session) != FALSE;
    }

    DWORD ActiveConsoleSessionId() override { return ::WTSGetActiveConsoleSessionId(); }

    void DesktopReceivesInput(DWORD& receivesInput) override {
        // The thread's own desktop handle needs no closing.
        const HDESK desktop = ::GetThreadDesktop(::GetCurrentThreadId());
        if (desktop == nullptr) {
            return;
        }
        DWORD needed = 0;
        DWORD value = receivesInput;
        if (::GetUserObjectInformationW(desktop, UOI_IO, &value, sizeof(value), &needed)) {
            receivesInput = value;
        }
    }

    void PostShowHide(LPARAM showOrHide) override {
        // A message for a window that is already gone is lost harmlessly.
        ::PostMessageW(context_.indicator, WM_OSD_SHOWHIDE,
                       reinterpret_cast<WPARAM>(context_.frame), showOrHide);
    }

    void PostQuit() override { ::PostMessageW(context_.frame, WM_OSD_QUIT, 0, 0); }

  private:
    static const wchar_t* Name(CameraEvent which) {
        switch (which) {
            case CameraEvent::On:
                return kOnEventName;
            case CameraEvent::Off:
                return kOffEventName;
            case CameraEvent::Service:
                break;
        }
        return kServiceEventName;
    }

    UniqueHandle& Slot(CameraEvent which) {
        switch (which) {
            case CameraEvent::On:
                return on_;
            case CameraEvent::Off:
                return off_;
            case CameraEvent::Service:
                break;
        }
        return service_;
    }

    const ListenerContext& context_;
    UniqueHandle on_;
    UniqueHandle off_;
    UniqueHandle service_;
};

DWORD WINAPI ListenerThread(LPVOID parameter) {
    const std::unique_ptr<ListenerContext> context(static_cast<ListenerContext*>(parameter));
    Win32ListenerPort api(*context);
    return RunListener(context->state, api);
}

constexpr DWORD kStopWaitMs = 1500;

}  // namespace

BOOL Listener::Start() {
    if (!stopEvent_) {
        stopEvent_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!stopEvent_) {
            return FALSE;
        }
    }
    if (thread_) {
        return TRUE;
    }
    const HANDLE process = ::GetCurrentProcess();
    UniqueHandle threadStop;
    if (!::DuplicateHandle(process, stopEvent_.get(), process, threadStop.put(), 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
        return FALSE;
    }
    std::unique_ptr<ListenerContext> context(
        new (std::nothrow) ListenerContext{state_, std::move(threadStop), frame_, indicator_});
    if (!context) {
        return FALSE;
    }
    thread_.reset(::CreateThread(nullptr, 0, ListenerThread, context.get(), 0, nullptr));
    if (!thread_) {
        return FALSE;
    }
    // The running thread owns the context now.
    static_cast<void>(context.release());
    return TRUE;
}

void Listener::Stop() {
    if (!stopEvent_) {
        return;
    }
    if (thread_) {
        // An unsignalled stop event cannot end the thread; do not wait then.
        // A thread that outlives the wait keeps its own stop event and ends
        // on its next event.
        if (::SetEvent(stopEvent_.get())) {
            static_cast<void>(::WaitForSingleObject(thread_.get(), kStopWaitMs));
        }
        thread_.reset();
    }
    stopEvent_.reset();
}

}  // namespace lensbeacon::indicator
