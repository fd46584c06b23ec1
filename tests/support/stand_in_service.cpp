// A minimal own-process service for the installer's end-to-end test, copied
// beside the installer as the service program: it reports running and stops
// when asked. It also ends by itself after two minutes, so a test that broke
// off cannot leave it running for long.
#include <windows.h>

#include "lensbeacon/unique_owner.h"

namespace {

constexpr DWORD kLifetimeLimit = 120000;

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopEvent = nullptr;  // owned by wWinMain, lives until the process ends

void Report(DWORD state) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    ::SetServiceStatus(g_statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
    if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
        Report(SERVICE_STOP_PENDING);
        ::SetEvent(g_stopEvent);
    }
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    g_statusHandle = ::RegisterServiceCtrlHandlerExW(L"LenswatchService", Handler, nullptr);
    if (g_statusHandle == nullptr) {
        return;
    }
    Report(SERVICE_RUNNING);
    ::WaitForSingleObject(g_stopEvent, kLifetimeLimit);
    Report(SERVICE_STOPPED);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const lensbeacon::UniqueHandle stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stopEvent) {
        return 1;
    }
    g_stopEvent = stopEvent.get();
    wchar_t name[] = L"LenswatchService";
    SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return ::StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
