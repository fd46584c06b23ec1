#include "watch_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lensbeacon::test {
namespace {

// Ten virtual hours: a loop still running then has lost its way.
constexpr int64_t kRunawayMs = 10LL * 3600 * 1000;

UnnamedEventPort* g_api = nullptr;
std::map<HANDLE, std::wstring> g_names;

HANDLE WINAPI CreateUnnamed(LPSECURITY_ATTRIBUTES, BOOL manual, BOOL initial, LPCWSTR name) {
    HANDLE h = ::CreateEventW(nullptr, manual, initial, nullptr);
    g_names[h] = name != nullptr ? name : L"";
    if (g_api != nullptr && g_api->afterCreate) {
        g_api->afterCreate(g_names[h]);
    }
    return h;
}
BOOL WINAPI RecordSet(HANDLE h) {
    g_api->sets.push_back(g_names[h]);
    return ::SetEvent(h);
}
BOOL WINAPI RecordReset(HANDLE h) {
    g_api->resets.push_back(g_names[h]);
    return ::ResetEvent(h);
}
DWORD WINAPI NoError() {
    return ERROR_SUCCESS;
}
BOOL WINAPI CloseAndForget(HANDLE h) {
    g_names.erase(h);
    if (g_api != nullptr) {
        ++g_api->closes;
    }
    return ::CloseHandle(h);
}

}  // namespace

UnnamedEventPort::UnnamedEventPort()
    : api_{CreateUnnamed,
           RecordSet,
           RecordReset,
           NoError,
           CloseAndForget,
           FakeBuildSecurity,
           FakeSecurityAttributes,
           FakeFreeSecurity} {
    g_api = this;
    g_names.clear();
}

UnnamedEventPort::~UnnamedEventPort() {
    g_api = nullptr;
}

std::vector<int64_t> FakeWatchPort::CheckTimes() const {
    std::vector<int64_t> times;
    for (const auto& check : checks) {
        times.push_back(check.atMs);
    }
    return times;
}

int FakeWatchPort::CheckDevices(bool countPipes, bool liveRecordHeld) {
    checks.push_back({now_, countPipes, liveRecordHeld});
    return deviceResult(now_);
}

HANDLE FakeWatchPort::ArmPolicyWatch() {
    ++policyArms;
    policyArmTimes.push_back(now_);
    if (policyArmFailures > 0) {
        --policyArmFailures;
        return nullptr;
    }
    return policyEvent.get();
}

DWORD FakeWatchPort::Wait(const HANDLE* handles, DWORD count, DWORD timeoutMs) {
    if (policyWaitFailures > 0 &&
        std::find(handles, handles + count, policyEvent.get()) != handles + count) {
        --policyWaitFailures;
        return WAIT_FAILED;
    }
    const int64_t deadline = timeoutMs == INFINITE ? INT64_MAX : now_ + timeoutMs;
    for (;;) {
        const DWORD ready = ::WaitForMultipleObjects(count, handles, FALSE, 0);
        if (ready < WAIT_OBJECT_0 + count) {
            return ready;
        }
        if (timeoutMs == 0) {
            return WAIT_TIMEOUT;
        }
        auto next = script_.begin();
        if (next != script_.end() && next->first <= deadline) {
            now_ = std::max(now_, next->first);
            auto action = next->second;
            script_.erase(next);
            action();
            continue;
        }
        if (timeoutMs == INFINITE || now_ > kRunawayMs) {
            // Nothing left that could wake this wait: end the run.
            ::SetEvent(stop_);
            continue;
        }
        now_ = deadline;
        return WAIT_TIMEOUT;
    }
}

void FakeWatchPort::StartLogonIndicator(DWORD session) {
    launches.push_back(L"logon " + std::to_wstring(session));
}

void FakeWatchPort::StartSessionLauncher(DWORD session) {
    launches.push_back(L"user " + std::to_wstring(session));
}

std::wstring FakeWatchPort::SessionUserSid(DWORD session) {
    const auto known = sessionSids.find(session);
    return known != sessionSids.end() ? known->second : std::wstring();
}

void FakeWatchPort::HandOverToTrace(HANDLE active, HANDLE idle) {
    traceActive = active;
    traceIdleEvent = idle;
    handOverAtMs = now_;
}

bool FakeWatchPort::StartTraceThread() {
    ++traceThreadStarts;
    if (onTraceStart) {
        onTraceStart();
    }
    return traceStartSucceeds;
}

void FakeWatchPort::JoinTraceThread(DWORD timeoutMs) {
    calls.push_back("join trace " + std::to_string(timeoutMs));
}

}  // namespace lensbeacon::test
