// Names for the programs that hold the camera: what a person would call
// each, and the plain text every name is made into.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lensbeacon/camera_use_names.h"
#include "lensbeacon/camera_use_records.h"

namespace lensbeacon {
namespace {

TEST(CameraUseNames, ProgramsAreNamedAsAPersonWouldCallThem) {
    EXPECT_EQ(PackagedAppName(L"Microsoft.WindowsCamera_8wekyb3d8bbwe"), L"WindowsCamera");
    EXPECT_EQ(PackagedAppName(L"MSTeams_8wekyb3d8bbwe"), L"MSTeams");
    EXPECT_EQ(PackagedAppName(L"Contoso.Meet."), L"Contoso.Meet.");  // no part after the dot
    EXPECT_EQ(DesktopProgramPath(L"C:#Program Files#Meet#meet.exe"),
              L"C:\\Program Files\\Meet\\meet.exe");
    EXPECT_EQ(FileNameWithoutExtension(L"C:\\Tools\\meet.app.exe"), L"meet.app");
    EXPECT_EQ(FileNameWithoutExtension(L"C:\\Tools\\.hidden"), L".hidden");
    // Untrusted text: control characters, blank runs, over-long names.
    EXPECT_EQ(PlainProgramName(L"  Meet\r\n\tNow \x0007 "), L"Meet Now");
    const std::wstring longName = PlainProgramName(std::wstring(500, L'x'));
    EXPECT_EQ(longName.size(), kMaxProgramNameLength);
    EXPECT_EQ(longName.back(), L'\x2026');
}

TEST(CameraUseNames, HoldersMostRecentFirstEachOnceAndNoMoreThanTheCap) {
    std::vector<CameraUseRecord> records = {
        {L"C:#Tools#old.exe", false, 100, 0, {}},
        {L"Microsoft.WindowsCamera_8wekyb3d8bbwe", true, 300, 0, {}},
        {L"C:#Tools#done.exe", false, 500, 600, {}},  // stopped: not named
        {L"C:#Tools#meet.exe", false, 400, 0, {}},
        {L"C:#Other#meet.exe", false, 350, 0, {}},  // same name again
        {L"C:#Tools#nameless.exe", false, 200, 0, {}},
    };
    const auto describe = [](const std::wstring& path) -> std::wstring {
        if (path == L"C:\\Tools\\meet.exe" || path == L"C:\\Other\\meet.exe") {
            return L"Meet\n";
        }
        return L"";  // no version resource: the file name stands in
    };
    EXPECT_EQ(NamesOfCameraHolders(records, describe),
              (std::vector<std::wstring>{L"Meet", L"WindowsCamera", L"nameless", L"old"}));
    for (unsigned i = 0; i < 3; ++i) {
        records.push_back({L"Extra.App" + std::to_wstring(i) + L"_x", true, 1000ULL + i, 0, {}});
    }
    EXPECT_EQ(NamesOfCameraHolders(records, describe).size(), kMaxNamedPrograms);
    EXPECT_TRUE(NamesOfCameraHolders({}, describe).empty());
}

}  // namespace
}  // namespace lensbeacon
