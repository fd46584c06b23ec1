// The indicator as a user meets it: how soon after the service's On event the
// window is on the screen, how soon after the Off event it has faded out and
// gone, and what the program holds while shown and hidden.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "indicator_bench.h"

#include "bench_support.h"
#include "indicator_window.h"
#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"
#include "registry_sandbox.h"
#include "simulated_camera.h"

namespace lensbeacon::bench {
namespace {

using namespace std::chrono_literals;

using test::IndicatorVisible;

bool WaitVisible(bool visible, Clock::duration limit) {
    return PollUntil([visible] { return IndicatorVisible() == visible; }, limit);
}

}  // namespace

void IndicatorLatencyAndMemory(int sessions) {
    test::RegistrySandbox settings(kSettingsKey);
    settings.SetDword(kCheckUsbCameraValue, 1);
    test::SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)", test::CameraPower::D3);
    test::InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe", L"LenspopUI.exe",
                               L"Lensmemo.dll"};
    if (!StartService(suite)) {
        std::printf("| indicator latency | service did not start | |\n");
        return;
    }
    const std::wstring program = suite.folder() + L"LenspopUI.exe";
    UniqueProcessInformation indicator = test::StartCommandLine(program, L"\"" + program + L"\"");
    const bool created = test::WaitUntil([] { return test::FindIndicator() != nullptr; }, 10s);
    UniqueHandle on = test::OpenSuiteEvent(kOnEventName);
    UniqueHandle off = test::OpenSuiteEvent(kOffEventName);
    if (!indicator.process || !created || !on || !off) {
        std::printf("| indicator latency | indicator did not start | |\n");
        return;
    }
    const std::wstring linuxProcess = FindLinuxProcess("LenspopUI.exe");
    std::vector<double> toOn;
    std::vector<double> toVisible;
    std::vector<double> toHidden;
    double shownKiB = -1;
    double hiddenKiB = -1;
    double lastHiddenKiB = -1;
    for (int i = 0; i < sessions; ++i) {
        // Each session starts at another phase of the service's one-second pass.
        std::this_thread::sleep_for(std::chrono::milliseconds(137 * i % 1000));
        const auto start = Clock::now();
        camera.SetPower(test::CameraPower::D0);
        if (::WaitForSingleObject(on.get(), 5000) != WAIT_OBJECT_0) {
            continue;
        }
        const auto onEvent = Clock::now();
        toOn.push_back(Millis(onEvent - start));
        if (WaitVisible(true, 5s)) {
            toVisible.push_back(Millis(Clock::now() - onEvent));
        }
        if (i == 0) {
            shownKiB = PrivateKiB(linuxProcess);
        }
        camera.SetPower(test::CameraPower::D3);
        if (::WaitForSingleObject(off.get(), 5000) == WAIT_OBJECT_0) {
            const auto offEvent = Clock::now();
            if (WaitVisible(false, 5s)) {
                toHidden.push_back(Millis(Clock::now() - offEvent));
            }
        }
        if (i == 0) {
            hiddenKiB = PrivateKiB(linuxProcess);
        }
        if (i == sessions - 1) {
            lastHiddenKiB = PrivateKiB(linuxProcess);
        }
    }
    const Summary cameraToOn = Summarize(toOn);
    const Summary onToVisible = Summarize(toVisible);
    const Summary offToHidden = Summarize(toHidden);
    std::printf(
        "| camera on -> On event (USB watch mode, indicator running) | median %.0f ms, p95 %.0f "
        "ms | %zu of %d sessions |\n",
        cameraToOn.median, cameraToOn.p95, cameraToOn.count, sessions);
    std::printf(
        "| On event -> indicator window visible | median %.1f ms, p95 %.1f ms, max %.1f ms | "
        "%zu of %d sessions, IsWindowVisible polled every 1 ms |\n",
        onToVisible.median, onToVisible.p95, onToVisible.max, onToVisible.count, sessions);
    std::printf(
        "| Off event -> indicator faded out and hidden | median %.1f ms, p95 %.1f ms, max %.1f "
        "ms | %zu of %d sessions, three 41 ms fade steps included |\n",
        offToHidden.median, offToHidden.p95, offToHidden.max, offToHidden.count, sessions);
    std::printf(
        "| LenspopUI private memory, shown / hidden after the first / hidden after the last "
        "session (Wine process, incl. Wine's own) | %.0f KiB / %.0f KiB / %.0f KiB | /proc "
        "smaps_rollup |\n",
        shownKiB, hiddenKiB, lastHiddenKiB);
    ::TerminateProcess(indicator.process.get(), 0);
}

}  // namespace lensbeacon::bench
