// Names for the programs that hold the camera, from Windows' record of camera
// use: what a person would call each program, most recent first. Key names,
// file descriptions and paths come from data any program can write, so every
// name is made plain, single-line text of bounded length.
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
std::wstring DesktopProgramPath(std::wstring_view keyName);

// The readable part of a packaged app's family name: the last dotted part
// before the publisher id ("Microsoft.WindowsCamera_8wekyb3d8bbwe" gives
// "WindowsCamera").
std::wstring PackagedAppName(std::wstring_view familyName);

// A path's file name without its extension ("C:\Tools\meet.exe" gives "meet").
std::wstring FileNameWithoutExtension(std::wstring_view path);

// Plain text for display: control characters and line or paragraph
// separators become spaces, runs of spaces fold into one, format characters
// (general category Cf: bidirectional controls, zero-width characters, soft
// hyphens ...) and unpaired surrogates are dropped, the ends are trimmed, and
// a name over the cap is cut with an ellipsis, never between the two halves
// of a surrogate pair.
std::wstring PlainProgramName(std::wstring_view raw);

// Whether `c` is a format character, Unicode general category Cf (as of
// Unicode 15).
bool IsFormatCharacter(char32_t c) noexcept;

// What a desktop program calls itself: the FileDescription of its version
// resource; empty when it has none (or the file cannot be read).
using DescriptionReader = std::function<std::wstring(const std::wstring& path)>;

// The programs that hold the camera by `records`, most recent Start first,
// each named once: a desktop program by its description, else its file
// name; a packaged app by the readable part of its family name. Nameless
// ones are left out; at most kMaxNamedPrograms.
std::vector<std::wstring> NamesOfCameraHolders(std::vector<CameraUseRecord> records,
                                               const DescriptionReader& describe);

// The FileDescription of a program file's version resource, in the file's
// first listed language; empty when there is none.
std::wstring ReadFileDescription(const std::wstring& path);

}  // namespace lensbeacon
