#include "counted_watch.h"

#include <cstdlib>

namespace lensbeacon::bench {
namespace {

// The service's events, made without their names: the installed service
// owns the named ones.
HANDLE WINAPI CreateUnnamedEvent(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initiallySignaled,
                                 LPCWSTR) {
    return ::CreateEventW(nullptr, manualReset, initiallySignaled, nullptr);
}

const EventPort& UnnamedEventPort() {
    static const EventPort api = [] {
        EventPort unnamed = Win32EventPort();
        unnamed.createEvent = CreateUnnamedEvent;
        return unnamed;
    }();
    return api;
}

}  // namespace

CountedWatch::CountedWatch()
    : state_(UnnamedEventPort()), stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!stop_) {
        return;
    }
    state_.stopEvent = stop_.get();
    thread_.reset(::CreateThread(nullptr, 0, WorkerMain, this, 0, nullptr));
}

CountedWatch::~CountedWatch() {
    if (!thread_) {
        return;
    }
    // Every join inside the worker's run is bounded, so the stop ends it. A
    // thread that could not be stopped still uses this object.
    if (!::SetEvent(stop_.get()) ||
        ::WaitForSingleObject(thread_.get(), INFINITE) != WAIT_OBJECT_0) {
        std::abort();
    }
}

DWORD WINAPI CountedWatch::WorkerMain(LPVOID parameter) {
    static_cast<CountedWatch*>(parameter)->worker_.RunWorker();
    return 0;
}

}  // namespace lensbeacon::bench
