#include "service_host.h"

#include <windows.h>

#include <new>

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"
#include "service_control.h"
#include "watch_loop.h"
#include "watch_state.h"
#include "watch_system_win32.h"

namespace lensbeacon {
namespace {

constexpr DWORD kWorkerJoinMs = 10000;

// The one service of this process. The control dispatcher calls the service
// main function and the handler without a context, so they reach it here.
struct ServiceProcess {
    WatchState state;
    Win32WatchSystem system{state};
    ServiceStatusReporter reporter{nullptr, ::SetServiceStatus};
    ServiceControl control{state, system, reporter};
};
ServiceProcess* g_service = nullptr;

DWORD WINAPI ControlHandler(DWORD control, DWORD eventType, LPVOID eventData, LPVOID) {
    return g_service->control.Handle(control, eventType, eventData);
}

DWORD WINAPI WorkerMain(LPVOID) {
    Watcher(g_service->state, g_service->system).RunWorker();
    return 0;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    ServiceProcess& service = *g_service;
    SERVICE_STATUS_HANDLE status =
        ::RegisterServiceCtrlHandlerExW(kServiceName, ControlHandler, nullptr);
    if (status == nullptr) {
        return;
    }
    service.reporter.Attach(status);
    service.system.SetStatusHandle(status);
    service.reporter.StartPending();

    UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (stop) {
        service.state.stopEvent = stop.get();
        service.reporter.Running();
        UniqueHandle worker(::CreateThread(nullptr, 0, WorkerMain, nullptr, 0, nullptr));
        ::WaitForSingleObject(stop.get(), INFINITE);
        if (worker && ::WaitForSingleObject(worker.get(), kWorkerJoinMs) != WAIT_OBJECT_0) {
            // A worker that is still running keeps waiting on the stop event:
            // leave it open for the rest of the process rather than pull it
            // out from under the worker.
            stop.release();
        } else {
            // Forget the event before closing it: a session change that
            // arrives until stopped is reported then counts as a stop
            // request instead of waiting on a closed (or reused) handle.
            service.state.stopEvent = nullptr;
        }
    }
    service.reporter.Stopped();
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
