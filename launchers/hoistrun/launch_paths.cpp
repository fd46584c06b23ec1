#include "launch_paths.h"

#include <cwchar>

namespace lensbeacon {
namespace {

// Appends `text` behind the first `length` characters of `out`, terminated;
// false, changing nothing, when it would not fit.
bool Append(PathBuffer& out, std::size_t& length, const wchar_t* text) {
    const std::size_t added = ::wcsnlen(text, kPathCapacity);
    if (length + added >= kPathCapacity) {
        return false;
    }
    std::wmemcpy(out + length, text, added);
    length += added;
    out[length] = L'\0';
    return true;
}

}  // namespace

bool BuildUserLaunchCommandLine(const wchar_t* folder, PathBuffer& commandLine) {
    // The argument is quoted so a folder with blanks stays one argument.
    std::size_t length = 0;
    commandLine[0] = L'\0';
    if (Append(commandLine, length, kUserLauncherFile) && Append(commandLine, length, L" \"=") &&
        Append(commandLine, length, folder) && Append(commandLine, length, kUserIndicatorFile) &&
        Append(commandLine, length, L"\"")) {
        return true;
    }
    commandLine[0] = L'\0';
    return false;
}

}  // namespace lensbeacon
