// Names for the programs that hold the camera: what a person would call
// each, the plain text every name is made into, the one shape of path that
// is ever opened for a description and the looks at the file system before
// it is, and the string tables a description is taken from.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <string_view>
#include <utility>
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

TEST(CameraUseNames, OnlyAnAbsolutePathOnADriveLetterIsEverOpened) {
    // A key name may hold a NUL, after which a C string would end.
    static constexpr wchar_t kWithNul[] = L"C:\\Tools\\meet.exe\0\\\\host\\share";
    struct Case {
        std::wstring_view path;
        bool opened;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Meet\\meet.exe", true},
        {L"d:\\meet.exe", true},
        {L"C:\\Tools\\..\\meet.exe", true},
        {L"C:\\Tools\\console.exe", true},  // only a whole part is a device name
        {L"C:\\Tools\\COM10.exe", true},
        {L"\\\\host\\share\\meet.exe", false},  // a share: the key "##host#share#meet.exe"
        {L"\\\\?\\UNC\\host\\share\\meet.exe", false},
        {L"\\\\?\\C:\\meet.exe", false},
        {L"\\\\.\\pipe\\meet", false},
        {L"\\\\.\\C:\\meet.exe", false},
        {L"\\??\\C:\\meet.exe", false},
        {L"meet.exe", false},  // searched for along the library path
        {L"Tools\\meet.exe", false},
        {L"\\Tools\\meet.exe", false},
        {L"C:meet.exe", false},  // relative to the drive's current folder
        {L"C:\\", false},
        {L"C:", false},
        {L"", false},
        {L"1:\\meet.exe", false},
        {L"C:/Tools/meet.exe", false},
        {L"C:\\Tools/..//host/share/meet.exe", false},
        {L"C:\\Tools\\meet.exe:stream", false},
        {L"C:\\Tools\\meet.exe::$DATA", false},
        {L"C:\\Tools\\NUL", false},
        {L"C:\\Tools\\con.exe", false},
        {L"C:\\Tools\\Aux .txt", false},
        {L"C:\\COM1\\meet.exe", false},
        {L"C:\\Tools\\lpt9", false},
        {L"C:\\Tools\\COM\x00B9", false},
        {L"C:\\Tools\\CONOUT$", false},
        {L"C:\\Tools\\meet\x0007.exe", false},
        {std::wstring_view(kWithNul, std::size(kWithNul) - 1), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsLocalDrivePath(c.path), c.opened) << std::wstring(c.path);
    }
}

// A scripted file system: the drive's type, and attributes by path (a
// folder, unless named).
struct ScriptedFileSystem {
    UINT driveType = DRIVE_FIXED;
    std::vector<std::pair<std::wstring, DWORD>> attributes;
    std::vector<std::wstring> looks;  // "type C:\\", then each path asked
};
ScriptedFileSystem* g_fileSystem = nullptr;

UINT WINAPI ScriptedDriveType(LPCWSTR root) {
    g_fileSystem->looks.push_back(L"type " + std::wstring(root));
    return g_fileSystem->driveType;
}

DWORD WINAPI ScriptedAttributes(LPCWSTR path) {
    g_fileSystem->looks.push_back(path);
    for (const auto& [named, attributes] : g_fileSystem->attributes) {
        if (named == path) {
            return attributes;
        }
    }
    return FILE_ATTRIBUTE_DIRECTORY;
}

TEST(CameraUseNames, AProgramFileIsOpenedOnlyOnAFixedDriveAndReachedThroughNoLink) {
    const FileSystemLooks looks = {ScriptedDriveType, ScriptedAttributes};
    const std::wstring meet = L"C:\\Program Files\\Meet\\meet.exe";
    const std::vector<std::wstring> allLooks = {L"type C:\\", L"C:\\Program Files",
                                                L"C:\\Program Files\\Meet", meet};
    constexpr DWORD kFile = FILE_ATTRIBUTE_ARCHIVE;
    struct Case {
        const char* what;
        UINT driveType;
        std::vector<std::pair<std::wstring, DWORD>> attributes;
        bool opened;
        std::size_t looked;  // how many of allLooks were taken, in order
    };
    const Case cases[] = {
        {"a plain file on a fixed drive", DRIVE_FIXED, {{meet, kFile}}, true, 4},
        {"a removable drive", DRIVE_REMOVABLE, {}, false, 1},
        {"a mapped network drive", DRIVE_REMOTE, {}, false, 1},
        {"a CD", DRIVE_CDROM, {}, false, 1},
        {"a RAM disk", DRIVE_RAMDISK, {}, false, 1},
        {"no such drive", DRIVE_NO_ROOT_DIR, {}, false, 1},
        {"an unknown drive", DRIVE_UNKNOWN, {}, false, 1},
        {"no such file", DRIVE_FIXED, {{meet, INVALID_FILE_ATTRIBUTES}}, false, 4},
        {"a file kept offline", DRIVE_FIXED, {{meet, kFile | FILE_ATTRIBUTE_OFFLINE}}, false, 4},
        {"a placeholder fetched when opened", DRIVE_FIXED, {{meet, kFile | 0x00040000}}, false, 4},
        {"a placeholder fetched when read", DRIVE_FIXED, {{meet, kFile | 0x00400000}}, false, 4},
        {"a file that is a link",
         DRIVE_FIXED,
         {{meet, kFile | FILE_ATTRIBUTE_REPARSE_POINT}},
         false,
         4},
        {"a folder on the way that is a link: nothing below it is looked at",
         DRIVE_FIXED,
         {{L"C:\\Program Files", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT}},
         false,
         2},
        {"a folder on the way that is a placeholder",
         DRIVE_FIXED,
         {{L"C:\\Program Files\\Meet", FILE_ATTRIBUTE_DIRECTORY | 0x00400000}},
         false,
         3},
    };
    for (const Case& c : cases) {
        ScriptedFileSystem fileSystem{c.driveType, c.attributes, {}};
        g_fileSystem = &fileSystem;
        EXPECT_EQ(MayOpenForDescription(meet, &looks), c.opened) << c.what;
        EXPECT_EQ(fileSystem.looks,
                  std::vector<std::wstring>(allLooks.begin(),
                                            allLooks.begin() + static_cast<long>(c.looked)))
            << c.what;
    }
    // A path of any other shape is not looked at at all.
    for (const wchar_t* path :
         {L"\\\\host\\share\\meet.exe", L"meet.exe", L"\\\\?\\C:\\meet.exe"}) {
        ScriptedFileSystem fileSystem;
        g_fileSystem = &fileSystem;
        EXPECT_FALSE(MayOpenForDescription(path, &looks)) << path;
        EXPECT_TRUE(fileSystem.looks.empty()) << path;
    }
    g_fileSystem = nullptr;
}

TEST(CameraUseNames, TheDescriptionIsTakenInTheUsersLanguageFirst) {
    using T = VersionTranslation;
    using Order = std::vector<T>;
    constexpr LANGID kGerman = 0x0407, kAustrian = 0x0C07, kFrench = 0x040C;
    const T usUnicode{0x0409, 0x04B0}, usLatin1{0x0409, 0x04E4};
    const T germanUnicode{kGerman, 0x04B0}, germanLatin1{kGerman, 0x04E4};
    const T austrian{kAustrian, 0x04B0}, french{kFrench, 0x04B0}, neutral{0x0000, 0x04B0};
    struct Case {
        const char* what;
        LANGID ui;
        Order listed;
        Order order;
    };
    const Case cases[] = {
        {"the user's language, then the first listed",
         kGerman,
         {french, germanUnicode},
         {germanUnicode, french, usUnicode, usLatin1}},
        {"every table in the user's language, in listed order",
         kGerman,
         {germanLatin1, french, germanUnicode},
         {germanLatin1, germanUnicode, usUnicode, usLatin1}},
        {"the same primary language before the first listed",
         kAustrian,
         {french, germanUnicode, austrian},
         {austrian, germanUnicode, french, usUnicode, usLatin1}},
        {"no table in the user's language",
         kGerman,
         {french, neutral},
         {french, usUnicode, usLatin1}},
        {"US English listed first is not repeated", kFrench, {usLatin1}, {usLatin1, usUnicode}},
        {"no list: the two US English tables", kGerman, {}, {usUnicode, usLatin1}},
        {"a table listed twice is read once",
         kFrench,
         {french, french},
         {french, usUnicode, usLatin1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescriptionTranslations(c.ui, c.listed), c.order) << c.what;
    }
}

}  // namespace
}  // namespace lensbeacon
