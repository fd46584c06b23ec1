// The service's watch on Windows' record of camera use, against Wine's
// registry: it wakes at every change in the user's and the machine's
// records, and takes in a hive loaded after its start once told to.
#include <windows.h>

#include <gtest/gtest.h>

#include "camera_use_records_sandbox.h"
#include "camera_use_watch.h"

namespace lensbeacon {
namespace {

using test::CameraUseRecordsSandbox;

constexpr DWORD kReadMs = 5000;

// Waits, read after read, until the watch says `expected`.
bool HoldingBecomes(const CameraUseWatch& watch, int32_t expected) {
    while (watch.holding() != expected) {
        if (::WaitForSingleObject(watch.changed(), kReadMs) != WAIT_OBJECT_0) {
            return watch.holding() == expected;
        }
    }
    return true;
}

TEST(CameraUseWatchWine, WakesAtEveryChangeInEveryWatchedHive) {
    const std::wstring meet = CameraUseRecordsSandbox::DesktopAppKey(L"C:\\Tools\\meet.exe");
    CameraUseRecordsSandbox user;
    CameraUseRecordsSandbox machine(HKEY_LOCAL_MACHINE);
    CameraUseWatch watch;
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
    watch.ReloadHives();
    ASSERT_EQ(::WaitForSingleObject(watch.changed(), kReadMs), WAIT_OBJECT_0);
    newcomer.StartUsing(meet);
    EXPECT_TRUE(HoldingBecomes(watch, 1)) << "the new hive's record was not seen";
    watch.Stop(CameraUseWatch::kJoinMs);
}

}  // namespace
}  // namespace lensbeacon
