// The service woken by Windows' record of camera use, as a current PC has it:
// a program starts holding the camera (its record gets a Start while the
// device powers up) and lets it go (a Stop while the device powers down).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "records_bench.h"

#include "bench_support.h"
#include "calling_program.h"
#include "camera_use_records_sandbox.h"
#include "counted_watch.h"
#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"
#include "registry_sandbox.h"
#include "simulated_camera.h"
#include "simulated_usb_hub.h"

namespace lensbeacon::bench {
namespace {

using namespace std::chrono_literals;
using test::CameraPower;

constexpr DWORD kNoticeMs = 5000;
const std::wstring kMeet = test::CameraUseRecordsSandbox::DesktopAppKey(L"C:\\Tools\\meet.exe");
// A laptop's camera: a USB composite device on the root hub.
constexpr wchar_t kRootHubLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)";
constexpr wchar_t kUsbCameraLocation[] = L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(5)#USBMI(0)";
constexpr wchar_t kCallerPath[] = L"C:\\Program Files\\Contoso Meet\\meet.exe";

enum class WakeKind { Record, ChangeEvent };

// The run's camera: an imaging-class camera on no hub, idle in D3, which
// counts in D0 by itself; or a laptop's USB camera of the Camera class on
// the root hub, idle in D2, which counts in D0 only while a live record
// backs it up.
enum class CameraSetup { ImagingOnNoHub, UsbCameraClass };

// One service run in one watch mode, with the user's records in place.
struct ServiceRun {
    explicit ServiceRun(bool usbMode, CameraSetup setup = CameraSetup::ImagingOnNoHub)
        : idle(setup == CameraSetup::UsbCameraClass ? CameraPower::D2 : CameraPower::D3) {
        if (setup == CameraSetup::UsbCameraClass) {
            hub.emplace(0, kRootHubLocation);
            camera.emplace(0, kUsbCameraLocation, idle, test::CameraKind::CameraClass);
        } else {
            camera.emplace(0, L"PCIROOT(0)#PCI(1400)", idle);
        }
        if (usbMode) {
            settings.SetDword(kCheckUsbCameraValue, 1);
        }
        started = StartService(suite);
        on = test::OpenSuiteEvent(kOnEventName);
        off = test::OpenSuiteEvent(kOffEventName);
        change = test::OpenSuiteEvent(kChangeEventName, EVENT_MODIFY_STATE);
        started = started && on && off && change;
    }

    // The camera comes on (or goes off) through `kind`: the device and the
    // record together, or the device and a Change event. The time to the
    // On (Off) event, or a negative value when it did not come.
    double Session(bool starts, WakeKind kind) {
        const auto start = Clock::now();
        camera->SetPower(starts ? CameraPower::D0 : idle);
        if (kind == WakeKind::ChangeEvent) {
            ::SetEvent(change.get());
        } else if (starts) {
            records.StartUsing(recordKey);
        } else {
            records.StopUsing(recordKey);
        }
        return ::WaitForSingleObject((starts ? on : off).get(), kNoticeMs) == WAIT_OBJECT_0
                   ? Millis(Clock::now() - start)
                   : -1;
    }
    double SessionStarts(WakeKind kind) { return Session(true, kind); }
    double SessionEnds(WakeKind kind) { return Session(false, kind); }

    const CameraPower idle;
    test::RegistrySandbox settings{kSettingsKey};
    test::CameraUseRecordsSandbox records;
    std::optional<test::SimulatedUsbHub> hub;
    std::optional<test::SimulatedCamera> camera;
    test::InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe"};
    UniqueHandle on, off, change;
    bool started = false;
    // The record a session writes: by default that of a program that does
    // not run, which wakes a check all the same.
    std::wstring recordKey = kMeet;
};

// `sessions` sessions woken by the record, each starting at a different
// phase of the service's one-second pass; the latencies of those that came.
void RecordSessions(ServiceRun& run, int sessions, std::vector<double>& toOn,
                    std::vector<double>& toOff) {
    for (int i = 0; i < sessions; ++i) {
        const double on = run.SessionStarts(WakeKind::Record);
        if (on >= 0) {
            toOn.push_back(on);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(137 * i % 1000));
        const double off = run.SessionEnds(WakeKind::Record);
        if (off >= 0) {
            toOff.push_back(off);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(137 * (i + 3) % 1000));
    }
}

}  // namespace

void RecordLatencyAndIdleCost(int sessions) {
    ServiceRun run(false);
    if (!run.started) {
        std::printf("| record latency | service did not start | |\n");
        return;
    }
    const std::wstring process = FindLinuxProcess("Lenswatch.exe");
    std::this_thread::sleep_for(11s);  // past the start-up burst

    // No capture activity: the records are there but hold nothing.
    const double before = CpuMillis(process);
    std::this_thread::sleep_for(60s);
    const double idle = CpuMillis(process) - before;

    std::vector<double> toOn;
    std::vector<double> toOff;
    RecordSessions(run, sessions, toOn, toOff);
    const Summary onLatency = Summarize(toOn);
    const Summary offLatency = Summarize(toOff);
    std::printf(
        "| service CPU with records present and none held (change-driven mode, after the "
        "burst) | %.1f ms in 60 s, so no device check (one costs about 5 ms) | /proc stat, 10 ms "
        "ticks |\n",
        idle);
    std::printf(
        "| record Start -> On event (change-driven mode, after the burst) | median %.1f ms, p95 "
        "%.1f ms, max %.1f ms | %zu of %d sessions |\n",
        onLatency.median, onLatency.p95, onLatency.max, onLatency.count, sessions);
    std::printf(
        "| record Stop -> Off event (change-driven mode) | median %.1f ms, p95 %.1f ms, max "
        "%.1f ms | %zu of %d sessions |\n",
        offLatency.median, offLatency.p95, offLatency.max, offLatency.count, sessions);
}

void RecordSoak(int sessions) {
    int seen = 0;
    std::string memory;
    for (const bool usbMode : {false, true}) {
        ServiceRun run(usbMode);
        if (!run.started) {
            std::printf("| record soak | service did not start | |\n");
            return;
        }
        // Private memory after the 10th session, half way and at the end;
        // the process is looked up each time, as the last run's service
        // may still be on its way out at the start.
        const int perMode = sessions / 2;
        std::string points;
        for (int i = 1; i <= perMode; ++i) {
            const WakeKind kind = i % 2 == 1 ? WakeKind::Record : WakeKind::ChangeEvent;
            if (run.SessionStarts(kind) >= 0 && run.SessionEnds(kind) >= 0) {
                ++seen;
            }
            if (i == 10 || i == perMode / 2 || i == perMode) {
                char point[32];
                std::snprintf(point, sizeof(point), "%s%.0f", points.empty() ? "" : " / ",
                              PrivateKiB(FindLinuxProcess("Lenswatch.exe")));
                points += point;
            }
        }
        memory += (usbMode ? "; USB watch " : "change-driven ") + points + " KiB";
    }
    std::printf(
        "| soak: %d sessions, each mode half, record and Change wake-ups alternating | %d of %d "
        "seen on and off; private memory after sessions 10 / %d / %d of each mode: %s | /proc "
        "smaps_rollup |\n",
        sessions, seen, sessions, sessions / 4, sessions / 2, memory.c_str());
}

void UsbRecordLatency(int sessions) {
    ServiceRun run(false, CameraSetup::UsbCameraClass);
    if (!run.started) {
        std::printf("| record latency, USB camera | service did not start | |\n");
        return;
    }
    // The calling program runs for all sessions; each session is one call.
    test::CallingProgram caller(kCallerPath);
    if (!caller.Running()) {
        std::printf("| record latency, USB camera | the calling program did not start | |\n");
        return;
    }
    run.recordKey = caller.RecordKey();
    std::this_thread::sleep_for(11s);  // past the start-up burst

    std::vector<double> toOn;
    std::vector<double> toOff;
    RecordSessions(run, sessions, toOn, toOff);
    const Summary onLatency = Summarize(toOn);
    const Summary offLatency = Summarize(toOff);
    std::printf(
        "| record Start -> On event, USB Camera-class camera on the root hub (D2 -> D0, the "
        "record's program runs; change-driven mode, after the burst) | median %.1f ms, p95 %.1f "
        "ms, max %.1f ms | %zu of %d sessions |\n",
        onLatency.median, onLatency.p95, onLatency.max, onLatency.count, sessions);
    std::printf(
        "| record Stop -> Off event, the same camera (D0 -> D2) | median %.1f ms, p95 %.1f ms, "
        "max %.1f ms | %zu of %d sessions |\n",
        offLatency.median, offLatency.p95, offLatency.max, offLatency.count, sessions);
}

void StaleRecordAndRewriteCost(int rewrites) {
    ServiceRun run(false, CameraSetup::UsbCameraClass);
    if (!run.started) {
        std::printf("| stale record, record rewrites | service did not start | |\n");
        return;
    }
    // A program that ended during a call without its Stop left its record
    // held; no program runs from its path.
    run.records.StartUsing(test::CameraUseRecordsSandbox::DesktopAppKey(
        L"C:\\Program Files\\Contoso Meet\\crashed.exe"));
    CountedWatch watch;
    if (!watch.running()) {
        std::printf("| stale record, record rewrites | the counted watch did not start | |\n");
        return;
    }
    const std::wstring process = FindLinuxProcess("Lenswatch.exe");
    if (process.empty()) {
        std::printf("| stale record, record rewrites | the service's process was not found | |\n");
        return;
    }
    std::this_thread::sleep_for(11s);  // both past the start-up burst

    const double staleCpuBefore = CpuMillis(process);
    const uint32_t staleChecksBefore = watch.checksBegun();
    std::this_thread::sleep_for(60s);
    const double staleCpu = CpuMillis(process) - staleCpuBefore;
    const uint32_t staleChecks = watch.checksBegun() - staleChecksBefore;
    std::printf(
        "| service CPU with only a stale record held (a Start and no Stop, its program not "
        "running; USB Camera-class camera idle in D2, change-driven mode, after the burst) | %.1f "
        "ms in 60 s; %u checks by the watch loop beside it | /proc stat, 10 ms ticks; checks "
        "counted by the service's watch loop run in the benchmark over the real system calls |\n",
        staleCpu, staleChecks);

    // A call: the camera in D0 and held by a running program, whose record
    // is then rewritten as fast as the registry takes it. The stale record
    // stays.
    test::CallingProgram caller(kCallerPath);
    run.recordKey = caller.RecordKey();
    if (!caller.Running() || run.SessionStarts(WakeKind::Record) < 0 ||
        !PollUntil([&watch] { return watch.published() == CameraState::On; }, 5s)) {
        std::printf("| record rewrites | the call was not seen on | |\n");
        return;
    }
    // The check the Start woke is followed by a quiet time in which the loop
    // does not listen to the records. Of the next two checks at least one
    // is the held record's pass, woken by time, after which it listens
    // again: from then on the first rewrite wakes a check at once.
    const uint32_t settled = watch.checksEnded() + 2;
    if (!PollUntil([&] { return watch.checksEnded() >= settled; }, 5s)) {
        std::printf("| record rewrites | the held record brought no check every second | |\n");
        return;
    }
    const double loopCpuBefore = CpuMillis(process);
    const uint32_t loopChecksBefore = watch.checksBegun();
    const auto loopStart = Clock::now();
    for (int i = 0; i < rewrites; ++i) {
        run.records.StartUsing(run.recordKey);
    }
    const auto loopEnd = Clock::now();
    const uint32_t begunAtEnd = watch.checksBegun();
    // The changes after the last check fold into one more check, begun
    // once the quiet time is over. The service's CPU is read once that check
    // has ended in the loop counted here.
    const bool followed = PollUntil([&] { return watch.checksBegun() > begunAtEnd; }, 5s);
    const double followMs = Millis(Clock::now() - loopEnd);
    const bool ended = PollUntil([&] { return watch.checksEnded() > begunAtEnd; }, 5s);
    const double loopCpu = CpuMillis(process) - loopCpuBefore;
    const double loopMs = Millis(loopEnd - loopStart);
    const uint32_t loopChecks = begunAtEnd - loopChecksBefore;
    if (!followed || !ended) {
        std::printf("| %d record rewrites | no check followed the last rewrite | |\n", rewrites);
        return;
    }
    // The bound: one check at the first change, then at most one each time
    // the 250 ms quiet time after a check is over.
    const auto bound = 1u + static_cast<unsigned>((loopMs + followMs) / 250.0);
    std::printf(
        "| %d record rewrites in a tight loop (the held record of a running program; USB "
        "Camera-class camera in D0, change-driven mode) | %.0f ms of rewriting; checks: %u "
        "begun during it and 1 begun %.0f ms after the last rewrite, where at most %u could "
        "be; service CPU %.0f ms over both | checks counted by the service's watch loop "
        "run in the benchmark over the real system calls; /proc stat of the service, 10 ms "
        "ticks |\n",
        rewrites, loopMs, loopChecks, followMs, bound, loopCpu);
}

}  // namespace lensbeacon::bench
