// The indicator as a user meets it: how soon after the service's On event the
// window is on the screen, how soon after the Off event it has faded out and
// gone, and what the program holds while shown and hidden; beside each, the
// same for a bare layered window that does the least an indicator must.
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

constexpr wchar_t kBareIndicatorClass[] = L"Lensbeacon Bench Bare Indicator";

bool BareIndicatorVisible() {
    HWND window = ::FindWindowW(kBareIndicatorClass, nullptr);
    return window != nullptr && ::IsWindowVisible(window) != FALSE;
}

// What one program did over the camera sessions.
struct SessionTimes {
    std::vector<double> toOn;
    std::vector<double> toVisible;
    std::vector<double> toHidden;
    double shownKiB = -1;
    double hiddenKiB = -1;
    double lastHiddenKiB = -1;
};

// Turns the camera on and off `sessions` times and measures, each time, On
// event to visible and Off event to hidden, polling `visible` every 1 ms.
SessionTimes RunSessions(test::SimulatedCamera& camera, HANDLE on, HANDLE off, int sessions,
                         bool (*visible)(), const std::wstring& linuxProcess) {
    SessionTimes times;
    auto waitVisible = [visible](bool wanted) {
        return PollUntil([visible, wanted] { return visible() == wanted; }, 5s);
    };
    for (int i = 0; i < sessions; ++i) {
        // Each session starts at another phase of the service's one-second pass.
        std::this_thread::sleep_for(std::chrono::milliseconds(137 * i % 1000));
        const auto start = Clock::now();
        camera.SetPower(test::CameraPower::D0);
        if (::WaitForSingleObject(on, 5000) != WAIT_OBJECT_0) {
            continue;
        }
        const auto onEvent = Clock::now();
        times.toOn.push_back(Millis(onEvent - start));
        if (waitVisible(true)) {
            times.toVisible.push_back(Millis(Clock::now() - onEvent));
        }
        if (i == 0) {
            times.shownKiB = PrivateKiB(linuxProcess);
        }
        camera.SetPower(test::CameraPower::D3);
        if (::WaitForSingleObject(off, 5000) == WAIT_OBJECT_0) {
            const auto offEvent = Clock::now();
            if (waitVisible(false)) {
                times.toHidden.push_back(Millis(Clock::now() - offEvent));
            }
        }
        if (i == 0) {
            times.hiddenKiB = PrivateKiB(linuxProcess);
        }
        if (i == sessions - 1) {
            times.lastHiddenKiB = PrivateKiB(linuxProcess);
        }
    }
    return times;
}

// The program has finished its start: its window exists (tested by the
// caller) and its user-interface thread waits for messages, all its start-up
// work done.
bool StartFinished(HANDLE process) {
    return ::WaitForInputIdle(process, 10000) == 0;
}

double Ratio(double value, double floor) {
    return floor > 0 ? value / floor : 0.0;
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
    UniqueHandle on = test::OpenSuiteEvent(kOnEventName);
    UniqueHandle off = test::OpenSuiteEvent(kOffEventName);
    if (!on || !off) {
        std::printf("| indicator latency | no camera events | |\n");
        return;
    }

    // The floor first, alone, then the indicator, the same way in the same run.
    const std::wstring bareProgram = test::TestBinPath(L"bare_indicator.exe");
    UniqueProcessInformation bare =
        test::StartCommandLine(bareProgram, L"\"" + bareProgram + L"\"");
    const bool bareCreated =
        test::WaitUntil([] { return ::FindWindowW(kBareIndicatorClass, nullptr) != nullptr; }, 10s);
    if (!bare.process || !bareCreated || !StartFinished(bare.process.get())) {
        std::printf("| indicator latency | bare layered window did not start | |\n");
        return;
    }
    const SessionTimes floor =
        RunSessions(camera, on.get(), off.get(), sessions, BareIndicatorVisible,
                    FindLinuxProcess("bare_indicator.exe"));
    ::PostMessageW(::FindWindowW(kBareIndicatorClass, nullptr), WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(bare.process.get(), 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(bare.process.get(), 1);
    }

    const std::wstring program = suite.folder() + L"LenspopUI.exe";
    UniqueProcessInformation indicator = test::StartCommandLine(program, L"\"" + program + L"\"");
    const bool created = test::WaitUntil([] { return test::FindIndicator() != nullptr; }, 10s);
    if (!indicator.process || !created || !StartFinished(indicator.process.get())) {
        std::printf("| indicator latency | indicator did not start | |\n");
        return;
    }
    const SessionTimes shown =
        RunSessions(camera, on.get(), off.get(), sessions, test::IndicatorVisible,
                    FindLinuxProcess("LenspopUI.exe"));
    ::TerminateProcess(indicator.process.get(), 0);

    const Summary cameraToOn = Summarize(shown.toOn);
    const Summary onToVisible = Summarize(shown.toVisible);
    const Summary offToHidden = Summarize(shown.toHidden);
    const Summary floorVisible = Summarize(floor.toVisible);
    std::printf(
        "| camera on -> On event (USB watch mode, indicator running) | median %.0f ms, p95 %.0f "
        "ms | %zu of %d sessions |\n",
        cameraToOn.median, cameraToOn.p95, cameraToOn.count, sessions);
    std::printf(
        "| On event -> bare layered window visible (the floor: bench/bare_indicator.cpp waits on "
        "the On event itself and shows a bitmap made at start) | median %.1f ms, p95 %.1f ms, "
        "max %.1f ms | %zu of %d sessions, IsWindowVisible polled every 1 ms |\n",
        floorVisible.median, floorVisible.p95, floorVisible.max, floorVisible.count, sessions);
    std::printf(
        "| On event -> indicator window visible | median %.1f ms, p95 %.1f ms, max %.1f ms | "
        "%zu of %d sessions, IsWindowVisible polled every 1 ms, after the floor |\n",
        onToVisible.median, onToVisible.p95, onToVisible.max, onToVisible.count, sessions);
    std::printf(
        "| indicator / floor, On event -> visible | median %.2f, p95 %.2f | ratios, same run |\n",
        Ratio(onToVisible.median, floorVisible.median), Ratio(onToVisible.p95, floorVisible.p95));
    std::printf(
        "| Off event -> indicator faded out and hidden | median %.1f ms, p95 %.1f ms, max %.1f "
        "ms | %zu of %d sessions, three 41 ms fade steps included |\n",
        offToHidden.median, offToHidden.p95, offToHidden.max, offToHidden.count, sessions);
    std::printf(
        "| LenspopUI private memory, shown / hidden after the first / hidden after the last "
        "session (Wine process, incl. Wine's own) | %.0f KiB / %.0f KiB / %.0f KiB | /proc "
        "smaps_rollup |\n",
        shown.shownKiB, shown.hiddenKiB, shown.lastHiddenKiB);
    std::printf(
        "| bare layered window private memory, shown / hidden after the last session (the floor) "
        "| %.0f KiB / %.0f KiB | /proc smaps_rollup |\n",
        floor.shownKiB, floor.lastHiddenKiB);
}

}  // namespace lensbeacon::bench
