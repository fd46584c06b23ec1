// The service's event set and the published state, driven through recording
// fakes of the kernel calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera_publisher.h"
#include "fake_event_security.h"
#include "service_events.h"

namespace lensbeacon {
namespace {

struct Call {
    std::wstring op;  // "create", "set", "reset"
    std::wstring name;
    BOOL manualReset = FALSE;
    BOOL initial = FALSE;
    bool secured = false;
};

// The fake hands out real unnamed events, so the owners close real handles,
// and remembers which name each handle stands for.
struct Recorder {
    std::vector<Call> calls;
    std::vector<std::pair<HANDLE, std::wstring>> names;
    std::vector<std::wstring> existing;  // names that "already exist"
    std::vector<std::wstring> failing;   // names whose creation fails
    std::vector<std::wstring> closed;    // names of the handles closed, in order
    DWORD lastError = ERROR_SUCCESS;

    std::wstring NameOf(HANDLE h) const {
        for (const auto& [handle, name] : names) {
            if (handle == h)
                return name;
        }
        return L"?";
    }
};
Recorder* g_recorder = nullptr;

bool Contains(const std::vector<std::wstring>& list, const std::wstring& name) {
    for (const auto& item : list) {
        if (item == name)
            return true;
    }
    return false;
}

HANDLE WINAPI FakeCreate(LPSECURITY_ATTRIBUTES sa, BOOL manual, BOOL initial, LPCWSTR name) {
    g_recorder->calls.push_back(
        {L"create", name, manual, initial, sa != nullptr && sa->lpSecurityDescriptor != nullptr});
    if (Contains(g_recorder->failing, name)) {
        return nullptr;
    }
    g_recorder->lastError =
        Contains(g_recorder->existing, name) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    HANDLE h = ::CreateEventW(nullptr, manual, initial, nullptr);
    g_recorder->names.emplace_back(h, name);
    return h;
}
BOOL WINAPI FakeSet(HANDLE h) {
    g_recorder->calls.push_back({L"set", g_recorder->NameOf(h)});
    return TRUE;
}
BOOL WINAPI FakeReset(HANDLE h) {
    g_recorder->calls.push_back({L"reset", g_recorder->NameOf(h)});
    return TRUE;
}
DWORD WINAPI FakeLastError() {
    return g_recorder->lastError;
}
BOOL WINAPI FakeClose(HANDLE h) {
    g_recorder->closed.push_back(g_recorder->NameOf(h));
    return ::CloseHandle(h);
}

const EventPort kFakeApi = {
    FakeCreate,
    FakeSet,
    FakeReset,
    FakeLastError,
    FakeClose,
    test::FakeBuildSecurity,
    test::FakeSecurityAttributes,
    test::FakeFreeSecurity,
};

class ServiceEventsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_recorder = &recorder;
        test::g_securityLog = &security;
    }
    void TearDown() override {
        g_recorder = nullptr;
        test::g_securityLog = nullptr;
    }

    std::vector<std::wstring> Ops() const {
        std::vector<std::wstring> ops;
        for (const auto& call : recorder.calls) {
            if (call.op != L"create")
                ops.push_back(call.op + L" " + call.name);
        }
        return ops;
    }

    Recorder recorder;
    test::FakeSecurityLog security;
};

TEST_F(ServiceEventsTest, CreatesAllSixInOrderWithModesInitialStatesAndSecurity) {
    ServiceEvents events(kFakeApi);
    events.Create();

    const BOOL expected[kEventCount][2] = {{TRUE, FALSE}, {TRUE, TRUE},  {TRUE, FALSE},
                                           {TRUE, FALSE}, {TRUE, FALSE}, {FALSE, FALSE}};
    ASSERT_EQ(recorder.calls.size(), kEventCount);
    for (std::size_t i = 0; i < kEventCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(recorder.calls[i].op, L"create");
        EXPECT_EQ(recorder.calls[i].name, kEventNames[i]);
        EXPECT_EQ(recorder.calls[i].manualReset, expected[i][0]);
        EXPECT_EQ(recorder.calls[i].initial, expected[i][1]);
        EXPECT_TRUE(recorder.calls[i].secured);
        EXPECT_NE(events.get(static_cast<EventId>(i)), nullptr);
    }
    // One descriptor per kind of access, released once the events exist.
    EXPECT_EQ(security.built, (std::vector<DWORD>{kWaitOnlyAccess, kWaitAndSignalAccess}));
    EXPECT_EQ(security.freed.size(), 2u);
}

TEST_F(ServiceEventsTest, SecurityThatCannotBeBuiltCreatesNoEventAndIsRetriedLater) {
    for (DWORD failing : {kWaitOnlyAccess, kWaitAndSignalAccess}) {
        SCOPED_TRACE(failing);
        security = {};
        security.failing = {failing};
        recorder.calls.clear();
        ServiceEvents events(kFakeApi);
        events.Create();
        EXPECT_TRUE(recorder.calls.empty());
        for (std::size_t i = 0; i < kEventCount; ++i) {
            EXPECT_EQ(events.get(static_cast<EventId>(i)), nullptr);
        }
        // Whatever was built is released all the same.
        EXPECT_EQ(security.freed, security.built);

        security.failing.clear();
        events.Create();
        EXPECT_EQ(recorder.calls.size(), kEventCount);
    }
}

TEST_F(ServiceEventsTest, PreExistingEventsAreBroughtToTheirInitialState) {
    recorder.existing = {kOnEventName, kOffEventName, kServiceEventName, kSettingEnableEventName};
    ServiceEvents events(kFakeApi);
    events.Create();

    EXPECT_EQ(Ops(), (std::vector<std::wstring>{
                         std::wstring(L"reset ") + kOnEventName,
                         std::wstring(L"set ") + kOffEventName,
                         std::wstring(L"reset ") + kServiceEventName,
                         std::wstring(L"reset ") + kSettingEnableEventName,
                     }));
}

TEST_F(ServiceEventsTest, FailedCreationLeavesOnlyThatHandleEmptyAndIsRetriedLater) {
    recorder.failing = {kChangeEventName};
    ServiceEvents events(kFakeApi);
    events.Create();
    EXPECT_EQ(events.get(EventId::Change), nullptr);
    EXPECT_NE(events.get(EventId::Service), nullptr);

    // A second call creates only what is still missing.
    recorder.failing.clear();
    recorder.calls.clear();
    events.Create();
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].name, kChangeEventName);
    EXPECT_NE(events.get(EventId::Change), nullptr);
}

TEST_F(ServiceEventsTest, EndSignalsServiceThenClosesEverything) {
    ServiceEvents events(kFakeApi);
    events.Create();
    recorder.calls.clear();
    events.SignalEndAndClose();
    EXPECT_EQ(Ops(), (std::vector<std::wstring>{std::wstring(L"set ") + kServiceEventName}));
    for (std::size_t i = 0; i < kEventCount; ++i) {
        EXPECT_EQ(events.get(static_cast<EventId>(i)), nullptr);
    }
    EXPECT_EQ(recorder.closed, (std::vector<std::wstring>{
                                   kServiceEventName, kOnEventName, kOffEventName, kChangeEventName,
                                   kSettingEnableEventName, kSettingChangeEventName}));
}

TEST_F(ServiceEventsTest, PublishResetsTheOldSideBeforeSettingTheNewAndOnlyOnChange) {
    ServiceEvents events(kFakeApi);
    events.Create();
    recorder.calls.clear();
    CameraPublisher publisher(events);
    EXPECT_EQ(publisher.published(), CameraState::Off);

    publisher.Publish(CameraState::Off);  // already off: nothing
    publisher.Publish(CameraState::On);
    publisher.Publish(CameraState::On);  // already on: nothing
    publisher.Publish(CameraState::Off);

    EXPECT_EQ(Ops(), (std::vector<std::wstring>{
                         std::wstring(L"reset ") + kOffEventName,
                         std::wstring(L"set ") + kOnEventName,
                         std::wstring(L"reset ") + kOnEventName,
                         std::wstring(L"set ") + kOffEventName,
                     }));
    EXPECT_EQ(publisher.published(), CameraState::Off);
}

TEST_F(ServiceEventsTest, PublishWithoutEventsStillTracksTheState) {
    recorder.failing = {kOffEventName};
    ServiceEvents events(kFakeApi);
    events.Create();
    recorder.calls.clear();
    CameraPublisher publisher(events);
    publisher.Publish(CameraState::On);
    EXPECT_TRUE(Ops().empty());
    EXPECT_EQ(publisher.published(), CameraState::On);
}

}  // namespace
}  // namespace lensbeacon
