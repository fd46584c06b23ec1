// The service's watch on Windows' record of camera use, against Wine's
// registry: it wakes at every change in the user's and the machine's
// records, takes in a hive loaded after its start once told to, lets go of
// the hive of a person who logged off, hears more hives than one wait can
// hold, follows a records key deleted and made again, and counts a record
// only while its program runs, so that a live record backs up a USB camera
// in D0.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calling_program.h"
#include "camera_use_records_sandbox.h"
#include "camera_use_watch.h"
#include "lensbeacon/camera_use_live.h"
#include "lensbeacon/running_programs.h"
#include "loaded_hive.h"
#include "simulated_camera.h"
#include "simulated_usb_hub.h"
#include "watch_port_win32.h"

namespace lensbeacon {
namespace {

using test::CallingProgram;
using test::CameraKind;
using test::CameraPower;
using test::CameraUseRecordsSandbox;
using test::LoadedHive;
using test::SimulatedCamera;
using test::SimulatedUsbHub;

constexpr DWORD kReadMs = 5000;

// Waits, read after read, until the watch says `expected`.
bool HoldingBecomes(const Win32CameraUseWatch& watch, int32_t expected) {
    while (watch.holding() != expected) {
        if (::WaitForSingleObject(watch.changed(), kReadMs) != WAIT_OBJECT_0) {
            return watch.holding() == expected;
        }
    }
    return true;
}

bool SystemHoldingBecomes(Win32WatchPort& system, int32_t expected) {
    while (system.RecordsHoldCamera() != expected) {
        if (::WaitForSingleObject(system.RecordsChanged(), kReadMs) != WAIT_OBJECT_0) {
            return system.RecordsHoldCamera() == expected;
        }
    }
    return true;
}

TEST(CameraUseWatchWine, WakesAtEveryChangeInEveryWatchedHive) {
    const std::wstring meet = CameraUseRecordsSandbox::DesktopAppKey(L"C:\\Tools\\meet.exe");
    CameraUseRecordsSandbox user;
    CameraUseRecordsSandbox machine(HKEY_LOCAL_MACHINE);
    Win32CameraUseWatch watch;
    ASSERT_TRUE(watch.Start());
    ASSERT_EQ(::WaitForSingleObject(watch.changed(), kReadMs), WAIT_OBJECT_0) << "no first read";
    EXPECT_EQ(watch.holding(), 0);

    user.StartUsing(meet);
    EXPECT_TRUE(HoldingBecomes(watch, 1));
    user.StopUsing(meet);
    EXPECT_TRUE(HoldingBecomes(watch, 0));
    machine.StartUsing(L"Contoso.Meeting_abcdefghijk", true);
    EXPECT_TRUE(HoldingBecomes(watch, 1));
    machine.StopUsing(L"Contoso.Meeting_abcdefghijk", true);
    EXPECT_TRUE(HoldingBecomes(watch, 0));

    // A person signs in: their hive appears under HKEY_USERS, and the
    // service's logon notification has the watch enumerate the hives again.
    CameraUseRecordsSandbox newcomer(HKEY_USERS, L"S-1-5-21-7-7-7-1001");
    watch.UserLoggedOn(L"S-1-5-21-7-7-7-1001");
    ASSERT_EQ(::WaitForSingleObject(watch.changed(), kReadMs), WAIT_OBJECT_0);
    newcomer.StartUsing(meet);
    EXPECT_TRUE(HoldingBecomes(watch, 1)) << "the new hive's record was not seen";
    watch.Stop(Win32CameraUseWatch::kJoinMs);
}

// At a logoff the watch closes its keys in that person's hive before the
// control handler hears back, so that the profile can be unloaded. Wine
// unloads a hive even with keys open in it, so the watch's own count of its
// keys there shows that it let go.
TEST(CameraUseWatchWine, LetsGoOfTheHiveOfAPersonWhoLoggedOff) {
    LoadedHive hive(L"S-1-5-21-7-7-7-1101");
    ASSERT_EQ(hive.Load(), ERROR_SUCCESS);
    Win32CameraUseWatch watch;
    ASSERT_TRUE(watch.Start());
    ASSERT_EQ(::WaitForSingleObject(watch.changed(), kReadMs), WAIT_OBJECT_0) << "no first read";
    EXPECT_EQ(watch.OpenKeysIn(hive.sid()), 2u);  // "webcam" and its parent

    watch.UserLoggedOff(hive.sid());
    EXPECT_EQ(watch.OpenKeysIn(hive.sid()), 0u);
    // Someone else logs on: the hive, still loaded, is left alone.
    watch.UserLoggedOn(L"");
    EXPECT_EQ(watch.OpenKeysIn(hive.sid()), 0u);
    EXPECT_EQ(hive.Unload(), ERROR_SUCCESS);

    // The person's next logon loads the hive again, and it is watched again.
    ASSERT_EQ(hive.Load(), ERROR_SUCCESS);
    watch.UserLoggedOn(hive.sid());
    EXPECT_EQ(watch.OpenKeysIn(hive.sid()), 2u);
    watch.Stop(Win32CameraUseWatch::kJoinMs);
    EXPECT_EQ(watch.OpenKeysIn(hive.sid()), 0u);
}

// A Remote Desktop host with forty people signed in: two watched keys each,
// more than one wait can hold, and a change in any hive is heard.
TEST(CameraUseWatchWine, HearsMoreHivesThanOneWaitCanHold) {
    const std::wstring meet = CameraUseRecordsSandbox::DesktopAppKey(L"C:\\Tools\\meet.exe");
    constexpr int kPeople = 40;
    static_assert(2 * kPeople > MAXIMUM_WAIT_OBJECTS);
    const auto sid = [](int person) { return L"S-1-5-21-7-7-7-" + std::to_wstring(2000 + person); };
    std::vector<std::unique_ptr<CameraUseRecordsSandbox>> people;
    for (int person = 0; person < kPeople; ++person) {
        people.push_back(std::make_unique<CameraUseRecordsSandbox>(HKEY_USERS, sid(person)));
    }
    Win32CameraUseWatch watch;
    ASSERT_TRUE(watch.Start());
    ASSERT_EQ(::WaitForSingleObject(watch.changed(), kReadMs), WAIT_OBJECT_0) << "no first read";
    for (const int person : {kPeople - 1, 0, kPeople / 2}) {
        SCOPED_TRACE(person);
        EXPECT_EQ(watch.OpenKeysIn(sid(person)), 2u);
        people[static_cast<std::size_t>(person)]->StartUsing(meet);
        EXPECT_TRUE(HoldingBecomes(watch, 1));
        people[static_cast<std::size_t>(person)]->StopUsing(meet);
        EXPECT_TRUE(HoldingBecomes(watch, 0));
    }
    watch.Stop(Win32CameraUseWatch::kJoinMs);
}

TEST(CameraUseWatchWine, FollowsARecordsKeyDeletedAndMadeAgain) {
    const std::wstring meet = CameraUseRecordsSandbox::DesktopAppKey(L"C:\\Tools\\meet.exe");
    auto user = std::make_unique<CameraUseRecordsSandbox>();
    Win32CameraUseWatch watch;
    ASSERT_TRUE(watch.Start());
    ASSERT_EQ(::WaitForSingleObject(watch.changed(), kReadMs), WAIT_OBJECT_0) << "no first read";
    user->StartUsing(meet);
    EXPECT_TRUE(HoldingBecomes(watch, 1));
    // The whole "webcam" key goes, and comes back with a new record.
    user.reset();
    EXPECT_TRUE(HoldingBecomes(watch, 0));
    user = std::make_unique<CameraUseRecordsSandbox>();
    user->StartUsing(meet);
    EXPECT_TRUE(HoldingBecomes(watch, 1)) << "the key made again was not followed";
    watch.Stop(Win32CameraUseWatch::kJoinMs);
}

TEST(CameraUseLiveWine, RunningProgramsAreNamedByTheirFullImagePaths) {
    CallingProgram caller(L"C:\\Program Files\\Contoso Meet\\meet.exe");
    const std::vector<std::wstring> paths = ReadRunningImagePaths();
    CameraUseRecord record{caller.RecordKey(), false, 1, 0, {}};
    EXPECT_TRUE(IsRecordLive(record, paths));
    // A packaged app by a process in its package folder.
    CallingProgram app(
        L"C:\\Program Files\\WindowsApps\\Contoso.Meeting_1.2.3.0_x86__abcdefghijk\\Meeting.exe");
    CameraUseRecord packaged{L"Contoso.Meeting_abcdefghijk", true, 1, 0, {}};
    EXPECT_TRUE(IsRecordLive(packaged, ReadRunningImagePaths()));
    app.Kill();
    caller.Kill();
    const std::vector<std::wstring> after = ReadRunningImagePaths();
    EXPECT_FALSE(IsRecordLive(record, after));
    EXPECT_FALSE(IsRecordLive(packaged, after));
}

// Under WOW64 the machine's records live in the 64-bit view, where the
// sandbox writes them.
TEST(CameraUseLiveWine, LiveMachineRecordBacksUpAUsbCameraInD0AndAStaleOneDoesNot) {
    SimulatedUsbHub hub(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)");
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(5)#USBMI(0)", CameraPower::D2,
                           CameraKind::CameraClass);
    CameraUseRecordsSandbox machine(HKEY_LOCAL_MACHINE);
    WatchState state;
    Win32WatchPort system(state);
    system.StartRecordWatch();
    ASSERT_NE(system.RecordsChanged(), nullptr);
    ASSERT_EQ(::WaitForSingleObject(system.RecordsChanged(), kReadMs), WAIT_OBJECT_0);
    const auto check = [&system](bool countPipes) {
        return system.CheckDevices(countPipes, system.LiveRecordHoldsCamera() != 0);
    };
    EXPECT_EQ(check(false), kNoCameraInUse);  // idle in D2
    camera.SetPower(CameraPower::D0);
    EXPECT_EQ(check(false), kNoCameraInUse);  // on, but no program holds it
    EXPECT_EQ(check(true), kNoCameraInUse);

    // A record of a program that does not run is stale.
    machine.StartUsing(CameraUseRecordsSandbox::DesktopAppKey(L"C:\\Tools\\gone.exe"));
    ASSERT_TRUE(SystemHoldingBecomes(system, 1));
    EXPECT_EQ(system.LiveRecordHoldsCamera(), 0);
    EXPECT_EQ(check(false), kNoCameraInUse);

    {
        CallingProgram caller(L"C:\\Program Files\\Contoso Meet\\meet.exe");
        machine.StartUsing(caller.RecordKey());
        // Read after read, until the new record has been read whole.
        while (system.LiveRecordHoldsCamera() == 0) {
            ASSERT_EQ(::WaitForSingleObject(system.RecordsChanged(), kReadMs), WAIT_OBJECT_0);
        }
        EXPECT_EQ(check(false), kCameraInUse);
        EXPECT_EQ(check(true), kCameraInUse);
        // Records never decide alone: an idle camera stays off.
        camera.SetPower(CameraPower::D2);
        EXPECT_EQ(check(false), kNoCameraInUse);
        camera.SetPower(CameraPower::D0);
        caller.Kill();
        // The record stays held; its program has gone.
        EXPECT_EQ(system.LiveRecordHoldsCamera(), 0);
        EXPECT_EQ(check(false), kNoCameraInUse);
    }
    system.StopRecordWatch();
}

TEST(DeviceCheckWine, CameraClassAndInterfaceDevicesAreJudgedOnceAndSurviveBadPowerData) {
    WatchState state;
    Win32WatchPort system(state);
    SimulatedCamera builtIn(0, L"ACPI(_SB_)#ACPI(PCI0)#ACPI(CAM0)", CameraPower::D3,
                            CameraKind::CameraClass);
    SimulatedCamera sensor(1, L"ACPI(_SB_)#ACPI(PCI0)#ACPI(IR00)", CameraPower::D3,
                           CameraKind::VideoInterfaceOnly);
    EXPECT_EQ(system.CheckDevices(false, false), kNoCameraInUse);
    builtIn.SetPower(CameraPower::D0);
    EXPECT_EQ(system.CheckDevices(false, false), kCameraInUse);
    builtIn.SetPower(CameraPower::D1);
    sensor.SetPower(CameraPower::D0);
    EXPECT_EQ(system.CheckDevices(true, false), kCameraInUse);
    // Power data any driver or registry damage could leave.
    sensor.SetPowerData({1, 2, 3});
    builtIn.SetRawProperty(L"0020", 0x12, {0, 0});
    EXPECT_EQ(system.CheckDevices(false, true), kNoCameraInUse);
    builtIn.Remove();
    sensor.Remove();
    EXPECT_EQ(system.CheckDevices(false, false), kNoImagingDevice);
}

}  // namespace
}  // namespace lensbeacon
