// The camera-activity trace's decisions: which kernel image and process
// events mean that a process holds the video-capture filter, the set of such
// processes, and the trace-idle flag and trace events through which the watch
// loop learns about it. The session calls live in trace_session.h.
#pragma once

#include <windows.h>
#include <evntrace.h>

#include <atomic>
#include <cstdint>

#include "capture_process_set.h"

namespace lensbeacon {

// Kernel event classes the trace consumes.
// {2cb15d1d-5fc1-11d2-abe1-00a0c911f518}
inline constexpr GUID kImageLoadGuid = {
    0x2cb15d1d, 0x5fc1, 0x11d2, {0xab, 0xe1, 0x00, 0xa0, 0xc9, 0x11, 0xf5, 0x18}};
// {3d6fa8d0-fe05-11d0-9dda-00c04fd7ba7c}
inline constexpr GUID kProcessGuid = {
    0x3d6fa8d0, 0xfe05, 0x11d0, {0x9d, 0xda, 0x00, 0xc0, 0x4f, 0xd7, 0xba, 0x7c}};

inline constexpr UCHAR kEventTypeLoad = 10;  // EVENT_TRACE_TYPE_LOAD
inline constexpr UCHAR kEventTypeEnd = 2;    // EVENT_TRACE_TYPE_END: unload, process end

// Payload offsets of the fields read, for a 32-bit and a 64-bit kernel.
struct TracePayloadLayout {
    ULONG imageProcessId;
    ULONG imageFileName;
    ULONG processProcessId;
};
inline constexpr TracePayloadLayout kPayload32 = {8, 44, 4};
inline constexpr TracePayloadLayout kPayload64 = {16, 56, 8};

// State the watch loop shares with the trace thread. Plain aligned words,
// read and written whole without a lock.
struct TraceShared {
    // The trace keeps consuming events while this is non-zero.
    std::atomic<int32_t> running{1};
    // 1 while no process holds the filter, 0 while one does. Written by the
    // trace only.
    std::atomic<int32_t> idle{1};
    // Manual-reset events owned by the watch loop; either may be absent.
    std::atomic<HANDLE> activeEvent{nullptr};
    std::atomic<HANDLE> idleEvent{nullptr};
    // Image events of this process are ignored.
    std::atomic<DWORD> ownProcessId{0};

    // What the watch loop does before it starts the trace thread: running
    // flag 1, the two events, the own process identifier.
    void HandOver(HANDLE active, HANDLE idleSignal, DWORD ownId) {
        running.store(1, std::memory_order_relaxed);
        activeEvent.store(active, std::memory_order_relaxed);
        idleEvent.store(idleSignal, std::memory_order_relaxed);
        ownProcessId.store(ownId, std::memory_order_relaxed);
    }

    // What the watch loop does when it ends: running flag 0 and the trace's
    // references to the events cleared, before the loop closes them.
    void Withdraw() {
        running.store(0, std::memory_order_relaxed);
        activeEvent.store(nullptr, std::memory_order_relaxed);
        idleEvent.store(nullptr, std::memory_order_relaxed);
    }
};

// The event calls the trace makes; tests substitute recording fakes.
struct TraceEventPort {
    BOOL(WINAPI* setEvent)(HANDLE);
    BOOL(WINAPI* resetEvent)(HANDLE);
};
[[nodiscard]] const TraceEventPort& Win32TraceEventPort();

// Consumes image and process events on the trace thread.
class CaptureTraceCore {
  public:
    CaptureTraceCore(TraceShared& shared, bool windows64,
                     const TraceEventPort& events = Win32TraceEventPort(),
                     CaptureProcessSet::Allocate allocate = nullptr,
                     CaptureProcessSet::Release release = nullptr);

    // Start of the trace thread: the set starts empty.
    void Begin() { processes_.Clear(); }

    // Image load (type 10) or unload (type 2) of one image.
    void OnImageEvent(const EVENT_TRACE& event);
    // Process end (type 2).
    void OnProcessEvent(const EVENT_TRACE& event);

    // The buffer callback's answer: non-zero means go on consuming.
    ULONG KeepConsuming() const {
        return static_cast<ULONG>(shared_.running.load(std::memory_order_relaxed));
    }

    // End of the trace thread: the set is emptied and the flag goes back to
    // idle. When the trace ended although the watch loop still wants it
    // (including a trace that never started), it fails over: the flag drops to
    // 0 and the trace-active event is set, so the loop checks every second.
    void End();

    [[nodiscard]] const CaptureProcessSet& processes() const { return processes_; }
    [[nodiscard]] bool windows64() const { return windows64_; }

  private:
    void AddProcess(DWORD processId);
    void RemoveProcess(DWORD processId);
    // Flag first, then the old state's event reset, then the new one's set.
    void EnterActive();
    void EnterIdle();

    TraceShared& shared_;
    const TraceEventPort& events_;
    bool windows64_;
    CaptureProcessSet processes_;
};

}  // namespace lensbeacon
