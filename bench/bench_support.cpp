// What the benchmarks share: timing summaries, the Linux process behind a
// Wine process (Wine reports no times or memory for other processes, so they
// are read through Z:\proc), and starting the installed service.
#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::bench {
namespace {

using namespace std::chrono_literals;

}  // namespace

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

Summary Summarize(std::vector<double> samples) {
    Summary s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    s.count = samples.size();
    s.median = samples[samples.size() / 2];
    s.p95 = samples[std::min(samples.size() - 1, (samples.size() * 95 + 99) / 100 - 1)];
    s.max = samples.back();
    return s;
}

std::string ReadWholeFile(const std::wstring& path) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    std::string text;
    if (!file)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

std::wstring FindLinuxProcess(const std::string& imageName) {
    // Wine hands the Unix environment on to every process of the prefix;
    // /proc/<pid>/environ holds it as NUL-terminated entries.
    std::string prefixEntry;
    if (const char* prefix = std::getenv("WINEPREFIX")) {
        prefixEntry.push_back('\0');
        prefixEntry.append("WINEPREFIX=").append(prefix).push_back('\0');
    }
    WIN32_FIND_DATAW entry;
    const lensbeacon::UniqueFindHandle search(::FindFirstFileW(L"Z:\\proc\\*", &entry));
    if (!search)
        return L"";
    std::wstring found;
    do {
        if (entry.cFileName[0] < L'1' || entry.cFileName[0] > L'9')
            continue;
        const std::wstring folder = std::wstring(L"Z:\\proc\\") + entry.cFileName;
        const std::string commandLine = ReadWholeFile(folder + L"\\cmdline");
        if (commandLine.find(imageName) == std::string::npos) {
            continue;
        }
        if (!prefixEntry.empty()) {
            std::string environment(1, '\0');
            environment.append(ReadWholeFile(folder + L"\\environ"));
            if (environment.find(prefixEntry) == std::string::npos) {
                continue;  // a process of another prefix
            }
        }
        found = folder;
        break;
    } while (::FindNextFileW(search.get(), &entry));
    return found;
}

double CpuMillis(const std::wstring& linuxProcess) {
    const std::string stat = ReadWholeFile(linuxProcess + L"\\stat");
    const std::size_t afterName = stat.rfind(')');
    if (afterName == std::string::npos)
        return -1;
    unsigned long long utime = 0, stime = 0;
    // Fields after the name: state ppid pgrp session tty tpgid flags minflt
    // cminflt majflt cmajflt utime stime.
    if (std::sscanf(stat.c_str() + afterName + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) != 2) {
        return -1;
    }
    return static_cast<double>(utime + stime) * 10.0;
}

double PrivateKiB(const std::wstring& linuxProcess) {
    const std::string rollup = ReadWholeFile(linuxProcess + L"\\smaps_rollup");
    double total = 0;
    for (const char* field : {"Private_Clean:", "Private_Dirty:"}) {
        const std::size_t at = rollup.find(field);
        if (at == std::string::npos)
            return -1;
        total += std::atof(rollup.c_str() + at + std::strlen(field));
    }
    return total;
}

bool StartService(test::InstalledSuite& suite) {
    if (suite.Installer(L"-i") != 0)
        return false;
    return test::WaitUntil([] { return static_cast<bool>(test::OpenSuiteEvent(kOffEventName)); },
                           15s);
}

bool PollUntil(const std::function<bool()>& done, Clock::duration limit) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        ::Sleep(1);
    }
    return true;
}

}  // namespace lensbeacon::bench
