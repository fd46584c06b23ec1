// What Windows will make of a program file before it starts it: whether its
// Authenticode signature is trusted, and whether its manifest asks for UI
// access (which Windows grants only to a trusted, signed program installed in
// a secure folder; otherwise the start fails).
#pragma once

#include <string_view>

namespace lensbeacon {

struct ProgramSigning {
    bool readable = false;       // the file loads as an image, so its resources can be read
    bool signedByTrust = false;  // WinVerifyTrust accepts its signature
    bool asksUiAccess = false;   // its manifest (RT_MANIFEST 1) asks for uiAccess="true"
};

// Inspects the program file at `path`; every field stays false for a file
// that cannot be loaded as an image (missing, unreadable, not a program).
// Neither runs the program nor shows any user interface.
ProgramSigning InspectProgramSigning(const wchar_t* path);

// True when the manifest's (UTF-8) requestedExecutionLevel element (with or without a
// namespace prefix, outside comments) carries uiAccess="true", in either quote
// style and with any white space around the "="; false for any other value,
// no such element or attribute, or text that breaks off inside the element.
[[nodiscard]] bool ManifestAsksUiAccess(std::string_view manifestText);

}  // namespace lensbeacon
