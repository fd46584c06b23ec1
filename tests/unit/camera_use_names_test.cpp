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

TEST(CameraUseNames, FormatCharactersGoAndTheCutKeepsSurrogatePairsWhole) {
    struct Case {
        const char* what;
        std::wstring raw;
        std::wstring plain;
    };
    const std::wstring face = L"\xD83D\xDE00";  // U+1F600, two units
    const Case cases[] = {
        {"a right-to-left override hiding the real name",
         L"Meet\x202E"
         L"exe.txt",
         L"Meetexe.txt"},
        {"every bidirectional control",
         L"a\x202A\x202B\x202C\x202D\x2066\x2067\x2068\x2069"
         L"b",
         L"ab"},
        {"marks and zero-width characters",
         L"M\x200B"
         L"e\x200C\x200D"
         L"e\x200E\x200Ft\x061C",
         L"Meet"},
        {"word joiner, invisible operators, byte order mark",
         L"\xFEFF"
         L"a\x2060\x2061\x2062\x2063\x2064"
         L"b",
         L"ab"},
        {"soft hyphen, Mongolian vowel separator, deprecated format characters",
         L"Vi\x00AD"
         L"deo\x180E\x206A\x206F",
         L"Video"},
        {"format characters outside the basic plane: tags, a musical format mark",
         L"Cam\xDB40\xDC01\xDB40\xDC41\xD834\xDD73", L"Cam"},
        {"a format character between blanks leaves one space", L"Meet \x200B Now", L"Meet Now"},
        {"line and paragraph separators are blanks", L"Meet\x2028Now\x2029", L"Meet Now"},
        {"a pair that is not a format character stays", L"Meet " + face, L"Meet " + face},
        {"halves of pairs alone are dropped",
         L"Me\xD83D"
         L"et\xDE00",
         L"Meet"},
        {"a name of exactly the cap", std::wstring(48, L'x'), std::wstring(48, L'x')},
        {"the cap, then a blank and more", std::wstring(48, L'x') + L" more",
         std::wstring(47, L'x') + L"\x2026"},
        {"the cap, then blanks only", std::wstring(48, L'x') + L"  \t", std::wstring(48, L'x')},
        {"a pair across the cut goes whole", std::wstring(46, L'x') + face + L"yz",
         std::wstring(46, L'x') + L"\x2026"},
        {"a pair just before the cut stays", std::wstring(45, L'x') + face + L"yz",
         std::wstring(45, L'x') + face + L"\x2026"},
        {"format characters do not count towards the cap",
         std::wstring(48, L'x') + std::wstring(10, L'\x200B'), std::wstring(48, L'x')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlainProgramName(c.raw), c.plain) << c.what;
    }
    // The table's edges, inside and just outside.
    for (const char32_t in : {0x00ADU, 0x0600U, 0x0605U, 0xFFF9U, 0x13430U, 0x1343FU, 0xE007FU}) {
        EXPECT_TRUE(IsFormatCharacter(in)) << static_cast<unsigned>(in);
    }
    for (const char32_t out : {0x00ACU, 0x0606U, 0x2065U, 0xFFFCU, 0x13440U, 0xE0000U, 0xE0080U}) {
        EXPECT_FALSE(IsFormatCharacter(out)) << static_cast<unsigned>(out);
    }
}

}  // namespace
}  // namespace lensbeacon
