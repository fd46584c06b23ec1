// What the benchmarks share: timing summaries, reading a Wine program's Linux
// process, and starting the installed service.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "installed_suite.h"

namespace lensbeacon::bench {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d);

struct Summary {
    double median = 0;
    double p95 = 0;
    double max = 0;
    std::size_t count = 0;
};
Summary Summarize(std::vector<double> samples);

// Wine does not report another process's times or memory, so a program's
// Linux process is read through Wine's Z: drive: /proc/<pid>/stat for CPU
// ticks (USER_HZ 100) and /proc/<pid>/smaps_rollup for its private pages.
std::string ReadWholeFile(const std::wstring& path);
// Z:\proc\<pid> of the first Linux process of this Wine prefix whose command
// line names `imageName`; empty when there is none. Other Wine prefixes on
// the same machine (other test runs) run the same programs under the same
// paths, so a process counts only when its environment names this process's
// WINEPREFIX (any process, when none is set).
std::wstring FindLinuxProcess(const std::string& imageName);
double CpuMillis(const std::wstring& linuxProcess);
double PrivateKiB(const std::wstring& linuxProcess);

// Polls `done` in 1 ms steps until it holds; false after `limit`. For the
// figures measured here, all well above a millisecond.
bool PollUntil(const std::function<bool()>& done, Clock::duration limit);

// Installs and starts the service from the suite's folder and waits for its
// events.
bool StartService(test::InstalledSuite& suite);

}  // namespace lensbeacon::bench
