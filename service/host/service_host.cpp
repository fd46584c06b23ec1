#include "service_host.h"

#include <windows.h>

#include <new>

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"
#include "service_control.h"
#include "service_main.h"
#include "watch_worker.h"
#include "watch_state.h"
#include "watch_port_win32.h"

namespace lensbeacon {
namespace {

DWORD WINAPI ControlHandler(DWORD control, DWORD eventType, LPVOID eventData, LPVOID);
DWORD WINAPI WorkerMain(LPVOID);

// The service main function's real calls.
class Win32ServiceMainPort final : public ServiceMainPort {
  public:
    Win32ServiceMainPort(ServiceStatusReporter& reporter, Win32WatchPort& system)
        : reporter_(reporter), system_(system) {}

    bool RegisterHandler() override {
        const SERVICE_STATUS_HANDLE status =
            ::RegisterServiceCtrlHandlerExW(kServiceName, ControlHandler, nullptr);
        if (status == nullptr) {
            return false;
        }
        reporter_.Attach(status);
        system_.SetStatusHandle(status);
        return true;
    }

    HANDLE CreateStopEvent() override {
        stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        return stop_.get();
    }

    bool StartWorker() override {
        worker_.reset(::CreateThread(nullptr, 0, WorkerMain, nullptr, 0, nullptr));
        return static_cast<bool>(worker_);
    }

    void WaitForStop(HANDLE stop) override { ::WaitForSingleObject(stop, INFINITE); }

    void JoinWorker(DWORD timeoutMs) override {
        ::WaitForSingleObject(worker_.get(), timeoutMs);
        worker_.reset();
    }

  private:
    ServiceStatusReporter& reporter_;
    Win32WatchPort& system_;
    // Owned here and, like the rest of the process's service state, never
    // destroyed, so the stop event is never closed.
    UniqueHandle stop_;
    UniqueHandle worker_;
};

// The one service of this process. The control dispatcher calls the service
// main function and the handler without a context, so they reach it here.
struct ServiceProcess {
    WatchState state;
    Win32WatchPort system{state};
    ServiceStatusReporter reporter{nullptr, ::SetServiceStatus};
    ServiceControl control{state, system, reporter};
    Win32ServiceMainPort mainApi{reporter, system};
};
ServiceProcess* g_service = nullptr;

DWORD WINAPI ControlHandler(DWORD control, DWORD eventType, LPVOID eventData, LPVOID) {
    return g_service->control.Handle(control, eventType, eventData);
}

DWORD WINAPI WorkerMain(LPVOID) {
    WatchWorker(g_service->state, g_service->system).RunWorker();
    return 0;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    RunServiceMain(g_service->state, g_service->reporter, g_service->mainApi);
}

}  // namespace

int RunServiceDispatcher() {
    // Never destroyed: a worker, trace or listener thread that outlived its
    // join still uses this state while the process exits.
    g_service = new (std::nothrow) ServiceProcess;
    if (g_service == nullptr) {
        return 0;
    }
    SERVICE_TABLE_ENTRYW table[] = {
        {const_cast<LPWSTR>(kServiceName), ServiceMain},
        {nullptr, nullptr},
    };
    ::StartServiceCtrlDispatcherW(table);
    return 0;
}

}  // namespace lensbeacon
