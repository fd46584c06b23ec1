// The service's events and settings against Wine's real kernel objects and
// registry: security read back from the objects, initial and normalised
// states, publishing, and every registry rule.
#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <vector>

#include "camera_publisher.h"
#include "event_security.h"
#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"
#include "registry_sandbox.h"
#include "service_events.h"
#include "service_settings.h"

namespace lensbeacon {
namespace {

bool IsSignaled(HANDLE h) {
    return ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
}

std::vector<unsigned char> SidBytes(SID_IDENTIFIER_AUTHORITY authority, DWORD rid) {
    PSID sid = nullptr;
    EXPECT_TRUE(::AllocateAndInitializeSid(&authority, 1, rid, 0, 0, 0, 0, 0, 0, 0, &sid));
    UniqueSid owner(sid);
    const auto* bytes = static_cast<const unsigned char*>(sid);
    return {bytes, bytes + ::GetLengthSid(sid)};
}

std::vector<unsigned char> AceSid(const ACCESS_ALLOWED_ACE* ace) {
    const auto* sid = reinterpret_cast<const unsigned char*>(&ace->SidStart);
    return {sid, sid + ::GetLengthSid(const_cast<unsigned char*>(sid))};
}

TEST(ServiceEventsInWine, EveryEventCarriesTheNarrowDaclAndItsInitialState) {
    ServiceEvents events;
    events.Create();
    const auto everyone = SidBytes(SECURITY_WORLD_SID_AUTHORITY, SECURITY_WORLD_RID);
    const auto system = SidBytes(SECURITY_NT_AUTHORITY, SECURITY_LOCAL_SYSTEM_RID);
    const bool initiallySignaled[kEventCount] = {false, true, false, false, false, false};

    for (std::size_t i = 0; i < kEventCount; ++i) {
        const auto id = static_cast<EventId>(i);
        SCOPED_TRACE(testing::Message() << "event " << i);
        HANDLE h = events.get(id);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(IsSignaled(h), initiallySignaled[i]);

        PACL dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_EQ(::GetSecurityInfo(h, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, &dacl, nullptr, &descriptor),
                  ERROR_SUCCESS);
        UniqueLocalMemory descriptorOwner(descriptor);
        ASSERT_NE(dacl, nullptr);
        ASSERT_EQ(dacl->AceCount, 2);

        const DWORD expectedEveryone =
            (id == EventId::On || id == EventId::Off || id == EventId::Service)
                ? SYNCHRONIZE
                : (SYNCHRONIZE | EVENT_MODIFY_STATE);
        const struct {
            const std::vector<unsigned char>& sid;
            DWORD mask;
        } expected[2] = {{everyone, expectedEveryone}, {system, EVENT_ALL_ACCESS}};
        for (DWORD a = 0; a < 2; ++a) {
            void* raw = nullptr;
            ASSERT_TRUE(::GetAce(dacl, a, &raw));
            const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
            EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
            EXPECT_EQ(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
            EXPECT_EQ(ace->Mask, expected[a].mask);
            EXPECT_EQ(AceSid(ace), expected[a].sid);
        }
    }
    events.Close();
}

TEST(ServiceEventsInWine, EventsLeftByAnEarlierRunStartFromTheInitialStates) {
    // An indicator of a crashed run still holds the events, in the worst state.
    UniqueHandle on(::CreateEventW(nullptr, TRUE, TRUE, kOnEventName));
    UniqueHandle off(::CreateEventW(nullptr, TRUE, FALSE, kOffEventName));
    UniqueHandle change(::CreateEventW(nullptr, TRUE, TRUE, kChangeEventName));
    UniqueHandle service(::CreateEventW(nullptr, TRUE, TRUE, kServiceEventName));
    UniqueHandle enable(::CreateEventW(nullptr, TRUE, TRUE, kSettingEnableEventName));
    UniqueHandle pulse(::CreateEventW(nullptr, FALSE, TRUE, kSettingChangeEventName));
    ASSERT_TRUE(on && off && change && service && enable && pulse);

    ServiceEvents events;
    events.Create();
    EXPECT_FALSE(IsSignaled(on.get()));
    EXPECT_TRUE(IsSignaled(off.get()));
    EXPECT_FALSE(IsSignaled(change.get()));
    EXPECT_FALSE(IsSignaled(service.get()));
    EXPECT_FALSE(IsSignaled(enable.get()));
    EXPECT_FALSE(IsSignaled(pulse.get()));
    events.Close();
}

TEST(ServiceEventsInWine, PublishingFlipsThePairAndTheEndSignalsService) {
    ServiceEvents events;
    events.Create();
    UniqueHandle on(::OpenEventW(SYNCHRONIZE, FALSE, kOnEventName));
    UniqueHandle off(::OpenEventW(SYNCHRONIZE, FALSE, kOffEventName));
    UniqueHandle service(::OpenEventW(SYNCHRONIZE, FALSE, kServiceEventName));
    ASSERT_TRUE(on && off && service);

    CameraPublisher publisher(events);
    publisher.Publish(CameraState::On);
    EXPECT_TRUE(IsSignaled(on.get()));
    EXPECT_FALSE(IsSignaled(off.get()));
    publisher.Publish(CameraState::Off);
    EXPECT_FALSE(IsSignaled(on.get()));
    EXPECT_TRUE(IsSignaled(off.get()));

    EXPECT_FALSE(IsSignaled(service.get()));
    events.SignalEndAndClose();
    EXPECT_TRUE(IsSignaled(service.get()));
}

class SettingsInWine : public ::testing::Test {
  protected:
    test::RegistrySandbox settings{kSettingsKey};
    // The device maker writes the capture key in the native registry view.
    test::RegistrySandbox capture{kCaptureKey, KEY_WOW64_64KEY};
};

TEST_F(SettingsInWine, MissingKeyOrValueMeansSwitchOnAndChangeDrivenMode) {
    EXPECT_TRUE(ReadShowOsd());
    EXPECT_FALSE(ReadCheckUsbCamera());
    EXPECT_FALSE(ReadNoPhysicalCameraLed());
    settings.CreateKey();
    capture.CreateKey();
    EXPECT_TRUE(ReadShowOsd());
    EXPECT_FALSE(ReadCheckUsbCamera());
    EXPECT_FALSE(ReadNoPhysicalCameraLed());
}

TEST_F(SettingsInWine, OnlyZeroTurnsTheSwitchOffAndOnlyOneSelectsUsbMode) {
    const struct {
        DWORD value;
        bool showOsd;
        bool usbMode;
        bool noLed;
    } cases[] = {{0, false, false, false},
                 {1, true, true, true},
                 {2, true, false, false},
                 {0xFFFFFFFF, true, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        settings.SetDword(kShowOsdValue, c.value);
        settings.SetDword(kCheckUsbCameraValue, c.value);
        capture.SetDword(kNoPhysicalCameraLedValue, c.value);
        EXPECT_EQ(ReadShowOsd(), c.showOsd);
        EXPECT_EQ(ReadCheckUsbCamera(), c.usbMode);
        EXPECT_EQ(ReadNoPhysicalCameraLed(), c.noLed);
    }
}

TEST_F(SettingsInWine, RawFourByteBinaryCountsLikeADword) {
    const unsigned char one[4] = {1, 0, 0, 0};
    const unsigned char zero[4] = {0, 0, 0, 0};
    settings.SetRaw(kCheckUsbCameraValue, REG_BINARY, one, sizeof(one));
    capture.SetRaw(kNoPhysicalCameraLedValue, REG_BINARY, one, sizeof(one));
    settings.SetRaw(kShowOsdValue, REG_BINARY, zero, sizeof(zero));
    EXPECT_TRUE(ReadCheckUsbCamera());
    EXPECT_TRUE(ReadNoPhysicalCameraLed());
    EXPECT_FALSE(ReadShowOsd());
}

TEST_F(SettingsInWine, MalformedDataIsAFailedRead) {
    const unsigned char shortZero[2] = {0, 0};
    const unsigned char shortOne[2] = {1, 0};
    const unsigned char longZero[8] = {};
    const unsigned char longOne[8] = {1};
    const struct {
        DWORD type;
        const unsigned char* zeroData;
        const unsigned char* oneData;
        DWORD size;
    } cases[] = {
        {REG_BINARY, shortZero, shortOne, 2}, {REG_BINARY, longZero, longOne, 8},
        {REG_QWORD, longZero, longOne, 8},    {REG_DWORD, shortZero, shortOne, 2},
        {REG_BINARY, shortZero, shortOne, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " size " << c.size);
        // A "zero" that is not a valid 4-byte value leaves the switch on ...
        settings.SetRaw(kShowOsdValue, c.type, c.zeroData, c.size);
        EXPECT_TRUE(ReadShowOsd());
        // ... and a "one" of the wrong shape selects nothing.
        settings.SetRaw(kCheckUsbCameraValue, c.type, c.oneData, c.size);
        capture.SetRaw(kNoPhysicalCameraLedValue, c.type, c.oneData, c.size);
        EXPECT_FALSE(ReadCheckUsbCamera());
        EXPECT_FALSE(ReadNoPhysicalCameraLed());
    }
    // Text is not a number, even when its four bytes happen to spell one.
    settings.SetString(kShowOsdValue, L"0");
    EXPECT_TRUE(ReadShowOsd());
    const wchar_t unterminated[2] = {L'\x1', L'\0'};
    settings.SetRaw(kCheckUsbCameraValue, REG_SZ, unterminated, 4);
    EXPECT_FALSE(ReadCheckUsbCamera());
}

TEST_F(SettingsInWine, ShowOsdIsWrittenOnlyIntoAnExistingKey) {
    EXPECT_FALSE(WriteShowOsd(false));
    EXPECT_FALSE(settings.KeyExists());

    settings.CreateKey();
    for (bool on : {false, true}) {
        ASSERT_TRUE(WriteShowOsd(on));
        DWORD type = REG_NONE;
        std::vector<unsigned char> data;
        ASSERT_TRUE(settings.Read(kShowOsdValue, type, data));
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(data, (std::vector<unsigned char>{static_cast<unsigned char>(on), 0, 0, 0}));
        EXPECT_EQ(ReadShowOsd(), on);
    }
}

TEST(Wow64InWine, Wow64IsDetectedAsTheSystemReportsIt) {
    BOOL wow64 = TRUE;
    ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow64));
    EXPECT_EQ(RunningUnderWow64(), wow64 != FALSE);
}

// On 64-bit Windows the device maker writes the capture key in the native
// view, while the suite's own settings live in the 32-bit view.
TEST(Wow64InWine, CaptureKeyIsReadInTheNativeViewSettingsInThe32BitView) {
    if (!RunningUnderWow64()) {
        GTEST_SKIP() << "a 32-bit Windows has one registry view";
    }
    {
        test::RegistrySandbox native(kCaptureKey, KEY_WOW64_64KEY);
        test::RegistrySandbox redirected(kCaptureKey, KEY_WOW64_32KEY);
        redirected.SetDword(kNoPhysicalCameraLedValue, 1);
        EXPECT_FALSE(ReadNoPhysicalCameraLed()) << "read the 32-bit view";
        native.SetDword(kNoPhysicalCameraLedValue, 1);
        EXPECT_TRUE(ReadNoPhysicalCameraLed());
    }
    {
        test::RegistrySandbox native(kSettingsKey, KEY_WOW64_64KEY);
        test::RegistrySandbox redirected(kSettingsKey, KEY_WOW64_32KEY);
        native.SetDword(kShowOsdValue, 0);
        native.SetDword(kCheckUsbCameraValue, 1);
        EXPECT_TRUE(ReadShowOsd()) << "read the native view";
        EXPECT_FALSE(ReadCheckUsbCamera());
        redirected.SetDword(kShowOsdValue, 0);
        EXPECT_FALSE(ReadShowOsd());
        ASSERT_TRUE(WriteShowOsd(true));
        DWORD type = REG_NONE;
        std::vector<unsigned char> data;
        ASSERT_TRUE(redirected.Read(kShowOsdValue, type, data));
        EXPECT_EQ(data, (std::vector<unsigned char>{1, 0, 0, 0}));
        ASSERT_TRUE(native.Read(kShowOsdValue, type, data));
        EXPECT_EQ(data, (std::vector<unsigned char>{0, 0, 0, 0})) << "wrote the native view";
    }
}

}  // namespace
}  // namespace lensbeacon
