// The camera-activity trace's core: the process set, the name test, the image
// and process callbacks over synthetic kernel event records in both payload
// layouts, and the session sequence over a fake event-tracing API.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "camera_trace.h"
#include "capture_filter_name.h"
#include "capture_process_set.h"
#include "trace_session.h"

namespace lensbeacon {
namespace {

// ---- Process set ---------------------------------------------------------

TEST(CaptureProcessSetTest, KeepsOneElementPerIdentifierInInsertionOrder) {
    CaptureProcessSet set;
    EXPECT_TRUE(set.empty());
    EXPECT_TRUE(set.Add(7));
    EXPECT_TRUE(set.Add(3));
    EXPECT_FALSE(set.Add(7));
    EXPECT_TRUE(set.Add(9));
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(set.At(0), 7u);
    EXPECT_EQ(set.At(1), 3u);
    EXPECT_EQ(set.At(2), 9u);

    EXPECT_TRUE(set.Remove(3));
    EXPECT_FALSE(set.Remove(3));
    EXPECT_FALSE(set.Remove(42));
    EXPECT_EQ(set.At(0), 7u);
    EXPECT_EQ(set.At(1), 9u);
    EXPECT_TRUE(set.Remove(7));
    EXPECT_TRUE(set.Remove(9));
    EXPECT_TRUE(set.empty());

    static_cast<void>(set.Add(1));
    static_cast<void>(set.Add(2));
    set.Clear();
    EXPECT_TRUE(set.empty());
    EXPECT_TRUE(set.Add(1));
}

int g_allocations = 0;
int g_releases = 0;
bool g_failAllocation = false;
void* CountingAllocate(std::size_t size) {
    if (g_failAllocation) {
        return nullptr;
    }
    ++g_allocations;
    return std::malloc(size);
}
void CountingRelease(void* block) {
    ++g_releases;
    std::free(block);
}

TEST(CaptureProcessSetTest, FreesEveryElementAndSurvivesAllocationFailure) {
    g_allocations = g_releases = 0;
    g_failAllocation = false;
    {
        CaptureProcessSet set(CountingAllocate, CountingRelease);
        static_cast<void>(set.Add(1));
        static_cast<void>(set.Add(2));
        static_cast<void>(set.Add(3));
        static_cast<void>(set.Remove(2));
        g_failAllocation = true;
        EXPECT_FALSE(set.Add(4));
        EXPECT_FALSE(set.Contains(4));
        g_failAllocation = false;
        EXPECT_TRUE(set.Add(4));
    }
    EXPECT_EQ(g_allocations, 4);
    EXPECT_EQ(g_releases, 4);
}

// ---- Name test ------------------------------------------------------------

TEST(CaptureFilterNameTest, AcceptsTheSystemFolderModuleBehindAnyPrefixInAnyCase) {
    EXPECT_TRUE(IsCaptureFilterImage(L"\\windows\\system32\\vidcap.ax", false));
    EXPECT_TRUE(IsCaptureFilterImage(L"\\Windows\\System32\\vidcap.ax", false));
    EXPECT_TRUE(IsCaptureFilterImage(L"\\WINDOWS\\SYSTEM32\\VIDCAP.AX", false));
    EXPECT_TRUE(
        IsCaptureFilterImage(L"\\Device\\HarddiskVolume3\\Windows\\System32\\vidcap.ax", false));
    EXPECT_TRUE(IsCaptureFilterImage(L"C:\\WinDows\\system32\\VidCap.Ax", true));
}

TEST(CaptureFilterNameTest, RejectsOtherFoldersNamesAndShortNames) {
    EXPECT_FALSE(IsCaptureFilterImage(L"\\Program Files\\Vendor\\vidcap.ax", false));
    EXPECT_FALSE(IsCaptureFilterImage(L"\\windows\\system32\\vidcap.dll", false));
    EXPECT_FALSE(IsCaptureFilterImage(L"\\windows\\system32\\vidcap.ax.bak", false));
    EXPECT_FALSE(IsCaptureFilterImage(L"\\windows\\system32\\xvidcap.ax", false));
    EXPECT_FALSE(IsCaptureFilterImage(L"windows\\system32\\vidcap.ax", false));  // 26 chars
    EXPECT_FALSE(IsCaptureFilterImage(L"", false));
    EXPECT_FALSE(IsCaptureFilterImage(static_cast<const wchar_t*>(nullptr), false));
    // Only ASCII letters fold: a dotted capital I is not an "i".
    EXPECT_FALSE(IsCaptureFilterImage(L"\\w\u0130ndows\\system32\\vidcap.ax", false));
}

TEST(CaptureFilterNameTest, CountsTheWow64FolderOnlyOn64BitWindows) {
    const wchar_t* wow64 = L"\\Device\\HarddiskVolume3\\Windows\\SysWOW64\\vidcap.ax";
    EXPECT_TRUE(IsCaptureFilterImage(wow64, true));
    EXPECT_FALSE(IsCaptureFilterImage(wow64, false));
}

TEST(CaptureFilterNameTest, TestsLongNamesInFullWithoutAFixedBuffer) {
    std::wstring longName = L"\\Device\\HarddiskVolume3";
    longName += std::wstring(400, L'x');
    longName += L"\\Windows\\System32\\vidcap.ax";
    ASSERT_GT(longName.size(), 260u);
    EXPECT_TRUE(IsCaptureFilterImage(longName.c_str(), false));
    std::wstring longOther = std::wstring(1000, L'y') + L"\\vidcap.ax";
    EXPECT_FALSE(IsCaptureFilterImage(longOther.c_str(), true));
}

// ---- Callbacks over synthetic records -------------------------------------

const HANDLE kActiveEvent = reinterpret_cast<HANDLE>(0x1A0);
const HANDLE kIdleEvent = reinterpret_cast<HANDLE>(0x1B0);

struct EventCall {
    std::string op;  // "set" or "reset"
    HANDLE event;
    int32_t idleFlagSeen;  // the flag when the call was made
};
std::vector<EventCall>* g_calls = nullptr;
TraceShared* g_shared = nullptr;

BOOL WINAPI RecordSet(HANDLE event) {
    g_calls->push_back({"set", event, g_shared->idle.load()});
    return TRUE;
}
BOOL WINAPI RecordReset(HANDLE event) {
    g_calls->push_back({"reset", event, g_shared->idle.load()});
    return TRUE;
}
const TraceEventPort kRecordingEvents = {RecordSet, RecordReset};

// A kernel payload as the kernel lays it out; the payload vector must stay
// alive while the record is used.
struct Record {
    std::vector<unsigned char> payload;
    EVENT_TRACE event{};

    void Finish(UCHAR type) {
        event.Header.Class.Type = type;
        event.MofData = payload.data();
        event.MofLength = static_cast<ULONG>(payload.size());
    }
};

Record ImageRecord(bool layout64, UCHAR type, DWORD processId, const std::wstring& name,
                   bool terminate = true) {
    const TracePayloadLayout& layout = layout64 ? kPayload64 : kPayload32;
    Record record;
    record.payload.assign(layout.imageFileName, 0xCC);
    std::memcpy(record.payload.data() + layout.imageProcessId, &processId, sizeof(processId));
    const auto* chars = reinterpret_cast<const unsigned char*>(name.c_str());
    record.payload.insert(record.payload.end(), chars,
                          chars + (name.size() + (terminate ? 1 : 0)) * sizeof(wchar_t));
    record.Finish(type);
    return record;
}

Record ProcessEndRecord(bool layout64, DWORD processId, UCHAR type = kEventTypeEnd) {
    const TracePayloadLayout& layout = layout64 ? kPayload64 : kPayload32;
    Record record;
    record.payload.assign(layout.processProcessId + 40, 0xCC);
    std::memcpy(record.payload.data() + layout.processProcessId, &processId, sizeof(processId));
    record.Finish(type);
    return record;
}

const std::wstring kFilter = L"\\Device\\HarddiskVolume3\\Windows\\System32\\vidcap.ax";
const std::wstring kWow64Filter = L"\\Device\\HarddiskVolume3\\Windows\\SysWOW64\\vidcap.ax";
constexpr DWORD kOwnId = 500;

class CaptureTraceCoreTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        g_calls = &calls;
        g_shared = &shared;
        shared.HandOver(kActiveEvent, kIdleEvent, kOwnId);
    }
    void TearDown() override {
        g_calls = nullptr;
        g_shared = nullptr;
    }

    bool layout64() const { return GetParam(); }
    void Image(CaptureTraceCore& core, UCHAR type, DWORD id, const std::wstring& name = kFilter) {
        Record record = ImageRecord(layout64(), type, id, name);
        core.OnImageEvent(record.event);
    }

    TraceShared shared;
    std::vector<EventCall> calls;
};

TEST_P(CaptureTraceCoreTest, LoadAndUnloadSwitchTheFlagBeforeTheEvents) {
    CaptureTraceCore core(shared, layout64(), kRecordingEvents);
    core.Begin();
    Image(core, kEventTypeLoad, 1234);
    EXPECT_EQ(shared.idle.load(), 0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].op, "reset");
    EXPECT_EQ(calls[0].event, kIdleEvent);
    EXPECT_EQ(calls[0].idleFlagSeen, 0);
    EXPECT_EQ(calls[1].op, "set");
    EXPECT_EQ(calls[1].event, kActiveEvent);

    // A second load in the same process changes nothing.
    Image(core, kEventTypeLoad, 1234);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(core.processes().size(), 1u);

    Image(core, kEventTypeEnd, 1234);
    EXPECT_EQ(shared.idle.load(), 1);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2].op, "reset");
    EXPECT_EQ(calls[2].event, kActiveEvent);
    EXPECT_EQ(calls[2].idleFlagSeen, 1);
    EXPECT_EQ(calls[3].op, "set");
    EXPECT_EQ(calls[3].event, kIdleEvent);
}

TEST_P(CaptureTraceCoreTest, StaysActiveUntilTheLastProcessGoes) {
    CaptureTraceCore core(shared, layout64(), kRecordingEvents);
    Image(core, kEventTypeLoad, 10);
    Image(core, kEventTypeLoad, 11);
    Image(core, kEventTypeEnd, 10);
    EXPECT_EQ(shared.idle.load(), 0);
    EXPECT_EQ(calls.size(), 2u);

    // A process that ends without unloading is removed by its end event.
    Record end = ProcessEndRecord(layout64(), 11);
    core.OnProcessEvent(end.event);
    EXPECT_EQ(shared.idle.load(), 1);
    EXPECT_EQ(calls.size(), 4u);
    EXPECT_TRUE(core.processes().empty());
}

TEST_P(CaptureTraceCoreTest, IgnoresOwnProcessOtherImagesAndOtherTypes) {
    CaptureTraceCore core(shared, layout64(), kRecordingEvents);
    Image(core, kEventTypeLoad, kOwnId);
    Image(core, kEventTypeLoad, 20, L"\\Device\\HarddiskVolume3\\Tools\\vidcap.ax");
    Image(core, kEventTypeLoad, 21, L"\\Device\\HarddiskVolume3\\Windows\\System32\\ksproxy.ax");
    Image(core, 3, 22);  // a rundown, neither load nor unload
    Record processStart = ProcessEndRecord(layout64(), 23, 1);
    core.OnProcessEvent(processStart.event);
    EXPECT_TRUE(core.processes().empty());
    EXPECT_EQ(shared.idle.load(), 1);
    EXPECT_TRUE(calls.empty());

    // With a process recorded, other event types still change nothing.
    Image(core, kEventTypeLoad, 30);
    Image(core, 3, 30);
    core.OnProcessEvent(processStart.event);
    EXPECT_EQ(core.processes().size(), 1u);
}

TEST_P(CaptureTraceCoreTest, IgnoresUnloadsAndEndsWhileIdleWithoutReadingThePayload) {
    CaptureTraceCore core(shared, layout64(), kRecordingEvents);
    EVENT_TRACE bogus{};
    bogus.Header.Class.Type = kEventTypeEnd;
    bogus.MofData = reinterpret_cast<PVOID>(0x10);  // never dereferenced while idle
    bogus.MofLength = 4096;
    core.OnImageEvent(bogus);
    core.OnProcessEvent(bogus);
    EXPECT_TRUE(calls.empty());
}

TEST_P(CaptureTraceCoreTest, RejectsShortUnterminatedAndOddPayloads) {
    CaptureTraceCore core(shared, layout64(), kRecordingEvents);
    const ULONG nameOffset = (layout64() ? kPayload64 : kPayload32).imageFileName;

    Record full = ImageRecord(layout64(), kEventTypeLoad, 40, kFilter);
    // Up to the name offset only: no name at all.
    Record cut = full;
    cut.payload.resize(nameOffset);
    cut.Finish(kEventTypeLoad);
    core.OnImageEvent(cut.event);
    // The name without its terminator, and with an odd trailing byte.
    Record open = ImageRecord(layout64(), kEventTypeLoad, 41, kFilter, false);
    core.OnImageEvent(open.event);
    open.payload.push_back(0);
    open.Finish(kEventTypeLoad);
    core.OnImageEvent(open.event);
    // No payload.
    EVENT_TRACE empty{};
    empty.Header.Class.Type = kEventTypeLoad;
    empty.MofLength = 100;
    core.OnImageEvent(empty);
    EXPECT_TRUE(core.processes().empty());

    // The same record whole is accepted.
    core.OnImageEvent(full.event);
    EXPECT_TRUE(core.processes().Contains(40));

    // A process end too short for its identifier is ignored.
    Record shortEnd = ProcessEndRecord(layout64(), 40);
    shortEnd.payload.resize((layout64() ? kPayload64 : kPayload32).processProcessId + 3);
    shortEnd.Finish(kEventTypeEnd);
    core.OnProcessEvent(shortEnd.event);
    EXPECT_TRUE(core.processes().Contains(40));
}

TEST_P(CaptureTraceCoreTest, CountsWow64ModuleOnlyWith64BitFlag) {
    CaptureTraceCore core(shared, layout64(), kRecordingEvents);
    Image(core, kEventTypeLoad, 50, kWow64Filter);
    EXPECT_EQ(core.processes().Contains(50), layout64());
}

TEST_P(CaptureTraceCoreTest, MissingEventsAreSkipped) {
    shared.HandOver(nullptr, nullptr, kOwnId);
    CaptureTraceCore core(shared, layout64(), kRecordingEvents);
    Image(core, kEventTypeLoad, 60);
    EXPECT_EQ(shared.idle.load(), 0);
    Image(core, kEventTypeEnd, 60);
    EXPECT_EQ(shared.idle.load(), 1);
    EXPECT_TRUE(calls.empty());
}

TEST_P(CaptureTraceCoreTest, EndFailsOverOnlyWhileTheLoopStillWantsTheTrace) {
    {
        CaptureTraceCore core(shared, layout64(), kRecordingEvents);
        Image(core, kEventTypeLoad, 70);
        calls.clear();
        core.End();  // the session stopped on its own
        EXPECT_TRUE(core.processes().empty());
        EXPECT_EQ(shared.idle.load(), 0);
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].op, "reset");
        EXPECT_EQ(calls[0].event, kIdleEvent);
        EXPECT_EQ(calls[1].op, "set");
        EXPECT_EQ(calls[1].event, kActiveEvent);
    }
    calls.clear();
    shared.HandOver(kActiveEvent, kIdleEvent, kOwnId);
    shared.idle.store(1);
    {
        CaptureTraceCore core(shared, layout64(), kRecordingEvents);
        Image(core, kEventTypeLoad, 71);
        calls.clear();
        shared.Withdraw();  // the watch loop asked for the end
        core.End();
        EXPECT_EQ(shared.idle.load(), 1);
        EXPECT_TRUE(calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(BothKernelLayouts, CaptureTraceCoreTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? std::string("Kernel64") : std::string("Kernel32");
                         });

// ---- Session sequence over a fake event-tracing API ------------------------

struct FakeTrace {
    std::vector<std::string> calls;
    ULONG startResult = ERROR_SUCCESS;
    bool openFails = false;
    TRACEHANDLE session = 0x5E55;
    EVENT_TRACE_PROPERTIES seenProperties{};
    std::wstring seenLoggerName;
    ULONG seenProcessTraceMode = 0;
    PEVENT_TRACE_BUFFER_CALLBACKW bufferCallback = nullptr;
    PEVENT_CALLBACK imageCallback = nullptr;
    PEVENT_CALLBACK processCallback = nullptr;
    std::vector<TRACEHANDLE> closed;
    // What the fake kernel delivers while "consuming".
    std::vector<Record> imageEvents;
    bool stopWhenBufferSaysSo = true;
    int buffersDelivered = 0;
    std::vector<ULONG> bufferAnswers;
    TraceShared* sharedToWithdraw = nullptr;  // the loop's stop, mid-consumption
};
FakeTrace* g_trace = nullptr;

ULONG WINAPI FakeStart(PTRACEHANDLE handle, LPCWSTR name, PEVENT_TRACE_PROPERTIES properties) {
    g_trace->calls.push_back("start");
    g_trace->seenLoggerName = name;
    g_trace->seenProperties = *properties;
    if (g_trace->startResult == ERROR_SUCCESS) {
        *handle = g_trace->session;
    }
    return g_trace->startResult;
}
ULONG WINAPI FakeFlags(TRACEHANDLE) {
    g_trace->calls.push_back("flags");
    return 5;
}
ULONG WINAPI FakeEnable(ULONG enable, ULONG, ULONG level, LPCGUID guid, TRACEHANDLE handle) {
    const bool image = IsEqualGUID(*guid, kImageLoadGuid);
    const bool process = IsEqualGUID(*guid, kProcessGuid);
    g_trace->calls.push_back(std::string("enable ") +
                             (image     ? "image"
                              : process ? "process"
                                        : "?") +
                             (enable && level == 5 && handle == g_trace->session ? "" : " bad"));
    return ERROR_SUCCESS;
}
TRACEHANDLE WINAPI FakeOpen(PEVENT_TRACE_LOGFILEW logfile) {
    g_trace->calls.push_back("open");
    g_trace->seenLoggerName = logfile->LoggerName;
    g_trace->seenProcessTraceMode = logfile->ProcessTraceMode;
    g_trace->bufferCallback = logfile->BufferCallback;
    return g_trace->openFails ? INVALID_PROCESSTRACE_HANDLE : TRACEHANDLE{0xC0};
}
ULONG WINAPI FakeSetCallback(LPCGUID guid, PEVENT_CALLBACK callback) {
    if (IsEqualGUID(*guid, kImageLoadGuid)) {
        g_trace->calls.push_back("callback image");
        g_trace->imageCallback = callback;
    } else if (IsEqualGUID(*guid, kProcessGuid)) {
        g_trace->calls.push_back("callback process");
        g_trace->processCallback = callback;
    }
    return ERROR_SUCCESS;
}
ULONG WINAPI FakeProcess(PTRACEHANDLE handles, ULONG count, LPFILETIME start, LPFILETIME end) {
    g_trace->calls.push_back(count == 1 && handles[0] == 0xC0 && !start && !end ? "process"
                                                                                : "process bad");
    for (Record& record : g_trace->imageEvents) {
        g_trace->imageCallback(&record.event);
    }
    // Buffers keep coming until the buffer callback answers 0.
    while (g_trace->buffersDelivered < 3) {
        ++g_trace->buffersDelivered;
        const ULONG answer = g_trace->bufferCallback(nullptr);
        g_trace->bufferAnswers.push_back(answer);
        if (answer == 0) {
            return ERROR_SUCCESS;
        }
        if (g_trace->buffersDelivered == 2 && g_trace->sharedToWithdraw != nullptr) {
            g_trace->sharedToWithdraw->Withdraw();
        }
    }
    return ERROR_SUCCESS;  // the session stopped under us
}
ULONG WINAPI FakeControl(TRACEHANDLE handle, LPCWSTR name, PEVENT_TRACE_PROPERTIES, ULONG code) {
    g_trace->calls.push_back(handle == g_trace->session &&
                                     std::wstring(name) == kKernelLoggerName &&
                                     code == EVENT_TRACE_CONTROL_STOP
                                 ? "stop"
                                 : "stop bad");
    return ERROR_SUCCESS;
}
ULONG WINAPI FakeClose(TRACEHANDLE handle) {
    g_trace->calls.push_back("close");
    g_trace->closed.push_back(handle);
    return ERROR_SUCCESS;
}
const TracePort kFakeTraceApi = {FakeStart,       FakeFlags,   FakeEnable,  FakeOpen,
                                 FakeSetCallback, FakeProcess, FakeControl, FakeClose};

class TraceSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_trace = &fake;
        g_calls = &events;
        g_shared = &shared;
        shared.HandOver(kActiveEvent, kIdleEvent, kOwnId);
    }
    void TearDown() override {
        g_trace = nullptr;
        g_calls = nullptr;
        g_shared = nullptr;
    }
    FakeTrace fake;
    TraceShared shared;
    std::vector<EventCall> events;
};

TEST_F(TraceSessionTest, PropertiesBlockDescribesARealTimeKernelSession) {
    std::vector<unsigned char> raw(kTraceBlockSize, 0);
    auto& block = *reinterpret_cast<EVENT_TRACE_PROPERTIES*>(raw.data());
    FillKernelTraceProperties(block);
    EXPECT_EQ(block.Wnode.BufferSize, 154u);
    const GUID systemTrace = {
        0x9e814aad, 0x3204, 0x11d2, {0x9a, 0x82, 0x00, 0x60, 0x08, 0xa8, 0x69, 0x39}};
    EXPECT_TRUE(IsEqualGUID(block.Wnode.Guid, systemTrace));
    EXPECT_EQ(block.Wnode.ClientContext, 1u);
    EXPECT_EQ(block.Wnode.Flags, 0x00020000u);
    EXPECT_EQ(block.LogFileMode, 0x100u);
    EXPECT_EQ(block.EnableFlags, 5u);
    EXPECT_EQ(block.LogFileNameOffset, 0u);
    EXPECT_EQ(block.LoggerNameOffset, 120u);
    EXPECT_EQ(block.BufferSize, 0u);
    EXPECT_EQ(block.MinimumBuffers, 0u);
    EXPECT_EQ(block.MaximumBuffers, 0u);
    EXPECT_EQ(block.MaximumFileSize, 0u);
    EXPECT_EQ(block.AgeLimit, 0);
    EXPECT_EQ(block.FlushTimer, 0u);
}

TEST_F(TraceSessionTest, ConsumesUntilTheLoopWithdrawsAndThenStopsTheSession) {
    fake.imageEvents.push_back(ImageRecord(false, kEventTypeLoad, 77, kFilter));
    fake.sharedToWithdraw = &shared;
    CaptureTraceCore core(shared, false, kRecordingEvents);
    RunTraceSession(core, kFakeTraceApi);

    const std::vector<std::string> expected = {"start",
                                               "flags",
                                               "enable image",
                                               "enable process",
                                               "open",
                                               "callback image",
                                               "callback process",
                                               "process",
                                               "close",
                                               "stop",
                                               "close"};
    EXPECT_EQ(fake.calls, expected);
    EXPECT_EQ(fake.seenLoggerName, L"NT Kernel Logger");
    EXPECT_EQ(fake.seenProcessTraceMode, 0x100u);
    EXPECT_EQ(fake.seenProperties.Wnode.BufferSize, 154u);
    EXPECT_EQ(fake.bufferAnswers, (std::vector<ULONG>{1, 1, 0}));
    ASSERT_EQ(fake.closed.size(), 2u);
    EXPECT_EQ(fake.closed[0], TRACEHANDLE{0xC0});
    EXPECT_EQ(fake.closed[1], fake.session);
    // The image event went through the real callback into the core; the
    // normal end leaves the set empty and the flag idle, without fail-over.
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].event, kActiveEvent);
    EXPECT_TRUE(core.processes().empty());
    EXPECT_EQ(shared.idle.load(), 1);
}

TEST_F(TraceSessionTest, FailsOverWhenTheSessionCannotStart) {
    fake.startResult = ERROR_ALREADY_EXISTS;
    CaptureTraceCore core(shared, false, kRecordingEvents);
    RunTraceSession(core, kFakeTraceApi);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"start"}));
    EXPECT_EQ(shared.idle.load(), 0);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].op, "reset");
    EXPECT_EQ(events[0].event, kIdleEvent);
    EXPECT_EQ(events[1].op, "set");
    EXPECT_EQ(events[1].event, kActiveEvent);
}

TEST_F(TraceSessionTest, StopsTheSessionAgainAndFailsOverWhenItCannotBeOpened) {
    fake.openFails = true;
    CaptureTraceCore core(shared, false, kRecordingEvents);
    RunTraceSession(core, kFakeTraceApi);
    const std::vector<std::string> expected = {"start", "flags", "enable image", "enable process",
                                               "open",  "stop",  "close"};
    EXPECT_EQ(fake.calls, expected);
    EXPECT_EQ(shared.idle.load(), 0);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(TraceSessionTest, FailsOverWhenTheSessionStopsOnItsOwn) {
    CaptureTraceCore core(shared, true, kRecordingEvents);
    RunTraceSession(core, kFakeTraceApi);
    EXPECT_EQ(fake.bufferAnswers, (std::vector<ULONG>{1, 1, 1}));
    EXPECT_EQ(shared.idle.load(), 0);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].event, kActiveEvent);
}

}  // namespace
}  // namespace lensbeacon
