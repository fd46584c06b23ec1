#include "launch_paths.h"

#include <cwchar>

namespace lensbeacon {

bool FolderOfModulePath(const wchar_t* modulePath, PathBuffer& folder) {
    folder[0] = L'\0';
    const std::size_t length = ::wcsnlen(modulePath, kPathCapacity);
    if (length == kPathCapacity) {
        return false;
    }
    const wchar_t* lastSlash = std::wcsrchr(modulePath, L'\\');
    if (lastSlash == nullptr) {
        return true;
    }
    const std::size_t folderLength = static_cast<std::size_t>(lastSlash - modulePath) + 1;
    std::wmemcpy(folder, modulePath, folderLength);
    folder[folderLength] = L'\0';
    return true;
}

bool BuildUserLaunchCommandLine(const wchar_t* folder, PathBuffer& commandLine) {
    // The argument is quoted so a folder with blanks stays one argument.
    static constexpr wchar_t kHead[] = L"Plainrun.exe \"=";
    static constexpr wchar_t kTail[] = L"LenspopUI.exe\"";
    constexpr std::size_t kHeadLength = sizeof(kHead) / sizeof(wchar_t) - 1;
    constexpr std::size_t kTailLength = sizeof(kTail) / sizeof(wchar_t) - 1;

    commandLine[0] = L'\0';
    const std::size_t folderLength = ::wcsnlen(folder, kPathCapacity);
    if (kHeadLength + folderLength + kTailLength >= kPathCapacity) {
        return false;
    }
    wchar_t* out = commandLine;
    out = std::wmemcpy(out, kHead, kHeadLength) + kHeadLength;
    out = std::wmemcpy(out, folder, folderLength) + folderLength;
    out = std::wmemcpy(out, kTail, kTailLength) + kTailLength;
    *out = L'\0';
    return true;
}

}  // namespace lensbeacon
