// The suite's live demo in Wine: installs the service with the installer,
// powers a simulated camera on and off, and prints the camera state the
// service publishes as it changes.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "registry_sandbox.h"
#include "simulated_camera.h"

namespace {

using namespace std::chrono_literals;
using lensbeacon::UniqueHandle;
namespace test = lensbeacon::test;

const auto g_start = std::chrono::steady_clock::now();

void Say(const char* text) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - g_start).count();
    std::printf("[%6.2f s] %s\n", seconds, text);
    std::fflush(stdout);
}

// Follows the published state the way the indicator does: On, then Off, ...
DWORD WINAPI FollowPublishedState(LPVOID stopEvent) {
    UniqueHandle on = test::OpenSuiteEvent(lensbeacon::kOnEventName);
    UniqueHandle off = test::OpenSuiteEvent(lensbeacon::kOffEventName);
    UniqueHandle service = test::OpenSuiteEvent(lensbeacon::kServiceEventName);
    if (!on || !off || !service) {
        Say("the service's events are missing");
        return 1;
    }
    bool waitingForOn = true;
    for (;;) {
        const HANDLE handles[3] = {static_cast<HANDLE>(stopEvent), service.get(),
                                   waitingForOn ? on.get() : off.get()};
        const DWORD result = ::WaitForMultipleObjects(3, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0 + 1) {
            Say("service published: watch ending (indicators close)");
            return 0;
        }
        if (result != WAIT_OBJECT_0 + 2) {
            return 0;
        }
        Say(waitingForOn ? "service published: CAMERA ON" : "service published: camera off");
        waitingForOn = !waitingForOn;
    }
}

}  // namespace

int wmain() {
    test::RegistrySandbox settings(lensbeacon::kSettingsKey);
    settings.SetDword(lensbeacon::kCheckUsbCameraValue, 1);
    test::SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USBMI(0)",
                                 test::CameraPower::D3);
    test::InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe"};
    std::printf("Installed into %ls\n", suite.folder().c_str());

    Say("InstLenswatch -i (register and start LenswatchService, USB watch mode)");
    if (suite.Installer(L"-i") != 0 ||
        !test::WaitUntil(
            [] { return static_cast<bool>(test::OpenSuiteEvent(lensbeacon::kOffEventName)); },
            15s)) {
        Say("the service did not start");
        return 1;
    }
    Say("service running, camera published off");
    UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle follower(::CreateThread(nullptr, 0, FollowPublishedState, stop.get(), 0, nullptr));

    for (int round = 0; round < 2; ++round) {
        std::this_thread::sleep_for(2s);
        Say("simulated camera powered to D0 (streaming)");
        camera.SetPower(test::CameraPower::D0);
        std::this_thread::sleep_for(3s);
        Say("simulated camera powered to D3 (idle)");
        camera.SetPower(test::CameraPower::D3);
    }
    std::this_thread::sleep_for(3s);

    Say("InstLenswatch -u (stop and remove the service)");
    const DWORD uninstalled = suite.Installer(L"-u");
    ::WaitForSingleObject(follower.get(), 3000);
    ::SetEvent(stop.get());
    std::printf("uninstall exit code %lu\n", uninstalled);
    return uninstalled == 0 ? 0 : 1;
}
