// Names for the programs that hold the camera, from Windows' record of camera
// use: what a person would call each program, most recent first. Key names,
// file descriptions and paths come from data any program can write, so every
// name is made plain, single-line text of bounded length, and a path from a
// record is opened only when it names a file on a local fixed drive.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lensbeacon/camera_use_records.h"

namespace lensbeacon {

// At most this many programs are named, each in at most this many characters.
inline constexpr std::size_t kMaxNamedPrograms = 4;
inline constexpr std::size_t kMaxProgramNameLength = 48;

// A desktop program's record key is its path with '#' in place of '\'.
[[nodiscard]] std::wstring DesktopProgramPath(std::wstring_view keyName);

// The readable part of a packaged app's family name: the last dotted part
// before the publisher id ("Microsoft.WindowsCamera_8wekyb3d8bbwe" gives
// "WindowsCamera").
[[nodiscard]] std::wstring PackagedAppName(std::wstring_view familyName);

// A path's file name without its extension ("C:\Tools\meet.exe" gives "meet").
[[nodiscard]] std::wstring FileNameWithoutExtension(std::wstring_view path);

// Plain text for display: control characters and line or paragraph
// separators become spaces, runs of spaces fold into one, format characters
// (general category Cf: bidirectional controls, zero-width characters, soft
// hyphens ...) and unpaired surrogates are dropped, the ends are trimmed, and
// a name over the cap is cut with an ellipsis, never between the two halves
// of a surrogate pair.
[[nodiscard]] std::wstring PlainProgramName(std::wstring_view raw);

// Whether `c` is a format character, Unicode general category Cf (as of
// Unicode 15).
[[nodiscard]] bool IsFormatCharacter(char32_t c) noexcept;

// Whether `path` has the one shape in which a program file is ever opened for
// its description: absolute on a drive letter ("C:\..."), with no '/', no
// ':' after the drive's (no stream), no control character, and no DOS device
// name ("CON", "NUL", "COM1" ...) as any of its parts. UNC paths, the "\\?\"
// and "\\.\" forms, relative paths and bare file names (which the loader
// would search for) fail it. Whether the drive is a local fixed one, and the
// file really there, is for the caller to ask.
[[nodiscard]] bool IsLocalDrivePath(std::wstring_view path) noexcept;

// What a desktop program calls itself: the FileDescription of its version
// resource; empty when it has none (or the file cannot be read).
using DescriptionReader = std::function<std::wstring(const std::wstring& path)>;

// The programs that hold the camera by `records`, most recent Start first,
// each named once: a desktop program by its description, else its file
// name; a packaged app by the readable part of its family name. Nameless
// ones are left out; at most kMaxNamedPrograms.
[[nodiscard]] std::vector<std::wstring> NamesOfCameraHolders(std::vector<CameraUseRecord> records,
                                                             const DescriptionReader& describe);

// One string table of a version resource: a language and a code page, as
// its \VarFileInfo\Translation list gives them.
struct VersionTranslation {
    WORD language = 0;
    WORD codePage = 0;
    friend bool operator==(const VersionTranslation&, const VersionTranslation&) = default;
};

// The string tables to take a FileDescription from, in order, each once:
// those the file lists in the user's interface language, then those in the
// same primary language, then the first listed, then US English in Unicode
// (040904B0) and in the Windows Latin 1 code page (040904E4).
[[nodiscard]] std::vector<VersionTranslation> DescriptionTranslations(
    LANGID uiLanguage, const std::vector<VersionTranslation>& listed);

// The two looks at the file system that decide whether a program file may
// be opened: GetDriveTypeW of its drive's root, and GetFileAttributesW.
struct FileSystemLooks {
    UINT(WINAPI* driveType)(LPCWSTR root);
    DWORD(WINAPI* attributes)(LPCWSTR path);
};

// Whether the file at `path` may be opened for its version resource: it has
// IsLocalDrivePath's shape (else nothing is looked at), its drive is a local
// fixed one, and neither it nor any folder on the way is a reparse point (a
// link, which may lead to another drive or a share; a mount point; a cloud
// file), offline, or a placeholder recalled when opened or read. The folders
// are looked at from the drive down, so no look passes through a link.
// `looks` defaults to the real calls.
[[nodiscard]] bool MayOpenForDescription(const std::wstring& path,
                                         const FileSystemLooks* looks = nullptr);

// The FileDescription of a program file's version resource, from the first
// string table of DescriptionTranslations that has one; empty when there is
// none, and, without the file ever being opened, when MayOpenForDescription
// refuses it. It can take a while on a slow disk: call it off the
// user-interface thread.
[[nodiscard]] std::wstring ReadLocalFileDescription(const std::wstring& path);

}  // namespace lensbeacon
