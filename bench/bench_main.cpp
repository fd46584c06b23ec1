// Measures what users feel, under Wine, and prints a markdown report:
// camera-to-event latency of the real service with a simulated camera, the
// service's CPU time while idle, its private memory, and the cost of one
// device check against the number of imaging and Camera-class devices.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <memory>
#include <thread>
#include <vector>

#include "lensbeacon/unique_owner.h"

#include "bench_support.h"
#include "indicator_bench.h"
#include "records_bench.h"
#include "settings_bench.h"
#include "device_check.h"
#include "device_port_win32.h"
#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "lensbeacon/sc_handle.h"
#include "registry_sandbox.h"
#include "simulated_camera.h"

namespace lensbeacon::bench {
namespace {

using namespace std::chrono_literals;
using test::CameraPower;

void LatencyInUsbMode(int toggles) {
    test::RegistrySandbox settings(kSettingsKey);
    settings.SetDword(kCheckUsbCameraValue, 1);
    test::SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)", CameraPower::D3);
    test::InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe"};
    if (!StartService(suite)) {
        std::printf("| camera-to-event latency | service did not start | |\n");
        return;
    }
    UniqueHandle on = test::OpenSuiteEvent(kOnEventName);
    UniqueHandle off = test::OpenSuiteEvent(kOffEventName);
    std::vector<double> toOn;
    std::vector<double> toOff;
    for (int i = 0; i < toggles; ++i) {
        // Start each toggle at a different phase of the service's one-second pass.
        std::this_thread::sleep_for(std::chrono::milliseconds(137 * i % 1000));
        auto start = Clock::now();
        camera.SetPower(CameraPower::D0);
        if (::WaitForSingleObject(on.get(), 5000) == WAIT_OBJECT_0) {
            toOn.push_back(Millis(Clock::now() - start));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(137 * (i + 3) % 1000));
        start = Clock::now();
        camera.SetPower(CameraPower::D3);
        if (::WaitForSingleObject(off.get(), 5000) == WAIT_OBJECT_0) {
            toOff.push_back(Millis(Clock::now() - start));
        }
    }
    const std::wstring process = FindLinuxProcess("Lenswatch.exe");
    const double cpuBefore = CpuMillis(process);
    std::this_thread::sleep_for(10s);
    const double usbCpuPerSecond = (CpuMillis(process) - cpuBefore) / 10.0;

    const Summary onLatency = Summarize(toOn);
    const Summary offLatency = Summarize(toOff);
    std::printf(
        "| camera on -> On event (USB watch mode) | median %.0f ms, p95 %.0f ms, max %.0f ms "
        "| %zu of %d toggles |\n",
        onLatency.median, onLatency.p95, onLatency.max, onLatency.count, toggles);
    std::printf(
        "| camera off -> Off event (USB watch mode) | median %.0f ms, p95 %.0f ms, max %.0f "
        "ms | %zu of %d toggles |\n",
        offLatency.median, offLatency.p95, offLatency.max, offLatency.count, toggles);
    std::printf(
        "| service CPU, USB watch mode after trace fail-over (a check every second) | "
        "%.2f ms per second | /proc stat over 10 s |\n",
        usbCpuPerSecond);
}

void IdleCostInChangeDrivenMode() {
    test::RegistrySandbox settings(kSettingsKey);
    test::SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)", CameraPower::D3);
    test::InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe"};
    if (!StartService(suite)) {
        std::printf("| idle CPU | service did not start | |\n");
        return;
    }
    const std::wstring process = FindLinuxProcess("Lenswatch.exe");
    std::this_thread::sleep_for(11s);  // past the start-up burst
    const double before = CpuMillis(process);
    std::this_thread::sleep_for(20s);
    const double idle = CpuMillis(process) - before;
    std::printf(
        "| service CPU while idle (change-driven mode, outside a burst) | %.1f ms in 20 s "
        "| /proc stat, 10 ms ticks |\n",
        idle);
    std::printf(
        "| service private memory (Wine process, incl. Wine's own) | %.0f KiB | "
        "/proc smaps_rollup Private_Clean + Private_Dirty |\n",
        PrivateKiB(process));

    // From the stop control to the end of the service process.
    UniqueHandle serviceProcess = suite.ServiceProcess();
    UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueScHandle service(manager ? ::OpenServiceW(manager.get(), kServiceName, SERVICE_STOP)
                                   : nullptr);
    SERVICE_STATUS status{};
    const auto stopStart = Clock::now();
    if (serviceProcess && service &&
        ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status) &&
        ::WaitForSingleObject(serviceProcess.get(), 10000) == WAIT_OBJECT_0) {
        std::printf(
            "| stop control -> service process ended | %.0f ms | ControlService, "
            "process handle |\n",
            Millis(Clock::now() - stopStart));
    }
}

// One check over 1, 10 and 100 idle devices of each kind. A Camera-class
// device is also listed by its video camera interface, as current cameras
// are, so the check walks it twice and judges it once.
void DeviceCheckCost() {
    for (const test::CameraKind kind :
         {test::CameraKind::ImagingClass, test::CameraKind::CameraClass}) {
        for (unsigned devices : {1u, 10u, 100u}) {
            std::vector<std::unique_ptr<test::SimulatedCamera>> cameras;
            for (unsigned i = 0; i < devices; ++i) {
                cameras.push_back(std::make_unique<test::SimulatedCamera>(
                    i, L"PCIROOT(0)#PCI(1400)", CameraPower::D3, kind));
            }
            auto system = CreateWin32DevicePort();
            DeviceCache cache;
            // Fills the cache; only the time of the checks after it counts.
            static_cast<void>(CheckDevices(*system, cache, DeviceCheckInput{true, false}));
            // Each check timed alone: on a machine shared with other work, a
            // median stays put where a mean takes in every stall.
            const int runs = 20;
            std::vector<double> samples;
            for (int i = 0; i < runs; ++i) {
                const auto start = Clock::now();
                static_cast<void>(CheckDevices(*system, cache, DeviceCheckInput{true, false}));
                samples.push_back(Millis(Clock::now() - start));
            }
            const Summary cost = Summarize(samples);
            if (kind == test::CameraKind::ImagingClass) {
                std::printf(
                    "| one device check, %u imaging devices | median %.2f ms, max %.2f ms | %d "
                    "checks, cache warm |\n",
                    devices, cost.median, cost.max, runs);
            } else {
                std::printf(
                    "| one device check, %u Camera-class devices (each also listed by its "
                    "video camera interface) | median %.2f ms, max %.2f ms | %d checks, cache "
                    "warm, idle in D3 on no hub like the imaging ones |\n",
                    devices, cost.median, cost.max, runs);
            }
        }
    }
}

}  // namespace
}  // namespace lensbeacon::bench

// With "--soak" only the soak runs: a quick look at memory after a change.
// With "--usb-camera" only the figures of the Camera-class and USB cameras
// run. With "--windows" only those of the indicator and the settings dialog.
int wmain(int argc, wchar_t** argv) {
    std::printf("| measure | result | how |\n|---|---|---|\n");
    if (argc > 1 && std::wcscmp(argv[1], L"--soak") == 0) {
        lensbeacon::bench::RecordSoak(200);
        return 0;
    }
    if (argc > 1 && std::wcscmp(argv[1], L"--windows") == 0) {
        lensbeacon::bench::IndicatorLatencyAndMemory(20);
        lensbeacon::bench::SettingsStartAndMemory(10);
        return 0;
    }
    if (argc > 1 && std::wcscmp(argv[1], L"--usb-camera") == 0) {
        lensbeacon::bench::DeviceCheckCost();
        lensbeacon::bench::UsbRecordLatency(20);
        lensbeacon::bench::StaleRecordAndRewriteCost(1000);
        return 0;
    }
    lensbeacon::bench::DeviceCheckCost();
    lensbeacon::bench::LatencyInUsbMode(20);
    lensbeacon::bench::IdleCostInChangeDrivenMode();
    lensbeacon::bench::RecordLatencyAndIdleCost(20);
    lensbeacon::bench::UsbRecordLatency(20);
    lensbeacon::bench::StaleRecordAndRewriteCost(1000);
    lensbeacon::bench::RecordSoak(200);
    lensbeacon::bench::IndicatorLatencyAndMemory(20);
    lensbeacon::bench::SettingsStartAndMemory(10);
    return 0;
}
