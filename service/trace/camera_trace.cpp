#include "camera_trace.h"

#include <cstdlib>
#include <cstring>

#include "capture_filter_name.h"

namespace lensbeacon {
namespace {

// A 32-bit field of the payload at `offset`; false when it does not fit.
bool ReadPayloadDword(const EVENT_TRACE& event, ULONG offset, DWORD& value) {
    if (event.MofData == nullptr || event.MofLength < sizeof(DWORD) ||
        offset > event.MofLength - sizeof(DWORD)) {
        return false;
    }
    std::memcpy(&value, static_cast<const unsigned char*>(event.MofData) + offset, sizeof(value));
    return true;
}

// Length of the NUL-terminated wide name at `offset`, bounded by the payload;
// false when no terminator lies inside it. A trailing odd byte is never read.
bool FindPayloadName(const EVENT_TRACE& event, ULONG offset, std::size_t& length) {
    if (event.MofData == nullptr || event.MofLength <= offset) {
        return false;
    }
    const auto* text = static_cast<const unsigned char*>(event.MofData) + offset;
    const std::size_t capacity = (event.MofLength - offset) / sizeof(wchar_t);
    for (std::size_t i = 0; i < capacity; ++i) {
        wchar_t c;
        std::memcpy(&c, text + i * sizeof(wchar_t), sizeof(c));
        if (c == L'\0') {
            length = i;
            return true;
        }
    }
    return false;
}

void Signal(BOOL(WINAPI* call)(HANDLE), HANDLE event) {
    if (event != nullptr) {
        call(event);
    }
}

}  // namespace

CaptureTraceCore::CaptureTraceCore(TraceShared& shared, bool windows64,
                                   const TraceEventPort& events,
                                   CaptureProcessSet::Allocate allocate,
                                   CaptureProcessSet::Release release)
    : shared_(shared),
      events_(events),
      windows64_(windows64),
      processes_(allocate != nullptr ? allocate : std::malloc,
                 release != nullptr ? release : std::free) {}

void CaptureTraceCore::OnImageEvent(const EVENT_TRACE& event) {
    const UCHAR type = event.Header.Class.Type;
    if (type != kEventTypeLoad) {
        // Unloads only matter while some process is recorded.
        if (shared_.idle.load(std::memory_order_relaxed) == 1 || type != kEventTypeEnd) {
            return;
        }
    }
    const TracePayloadLayout& layout = windows64_ ? kPayload64 : kPayload32;
    std::size_t nameLength = 0;
    if (!FindPayloadName(event, layout.imageFileName, nameLength)) {
        return;
    }
    const auto* name = static_cast<const unsigned char*>(event.MofData) + layout.imageFileName;
    if (!IsCaptureFilterImage(name, nameLength, windows64_)) {
        return;
    }
    DWORD processId = 0;
    if (!ReadPayloadDword(event, layout.imageProcessId, processId) ||
        processId == shared_.ownProcessId.load(std::memory_order_relaxed)) {
        return;
    }
    if (type == kEventTypeLoad) {
        AddProcess(processId);
    } else {
        RemoveProcess(processId);
    }
}

void CaptureTraceCore::OnProcessEvent(const EVENT_TRACE& event) {
    if (shared_.idle.load(std::memory_order_relaxed) == 1 ||
        event.Header.Class.Type != kEventTypeEnd) {
        return;
    }
    const TracePayloadLayout& layout = windows64_ ? kPayload64 : kPayload32;
    DWORD processId = 0;
    if (ReadPayloadDword(event, layout.processProcessId, processId)) {
        RemoveProcess(processId);
    }
}

void CaptureTraceCore::AddProcess(DWORD processId) {
    if (processes_.Add(processId) && shared_.idle.load(std::memory_order_relaxed) == 1) {
        EnterActive();
    }
}

void CaptureTraceCore::RemoveProcess(DWORD processId) {
    if (processes_.Remove(processId) && processes_.empty()) {
        EnterIdle();
    }
}

void CaptureTraceCore::EnterActive() {
    shared_.idle.store(0, std::memory_order_relaxed);
    Signal(events_.resetEvent, shared_.idleEvent.load(std::memory_order_relaxed));
    Signal(events_.setEvent, shared_.activeEvent.load(std::memory_order_relaxed));
}

void CaptureTraceCore::EnterIdle() {
    shared_.idle.store(1, std::memory_order_relaxed);
    Signal(events_.resetEvent, shared_.activeEvent.load(std::memory_order_relaxed));
    Signal(events_.setEvent, shared_.idleEvent.load(std::memory_order_relaxed));
}

void CaptureTraceCore::End() {
    processes_.Clear();
    shared_.idle.store(1, std::memory_order_relaxed);
    if (shared_.running.load(std::memory_order_relaxed) != 0 &&
        shared_.idle.load(std::memory_order_relaxed) == 1) {
        EnterActive();
    }
}

}  // namespace lensbeacon
