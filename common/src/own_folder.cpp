#include "lensbeacon/own_folder.h"

#include <cwchar>

#include "lensbeacon/bounded_text.h"

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

bool OwnFolder(HMODULE module, PathBuffer& folder) {
    folder[0] = L'\0';
    PathBuffer modulePath;
    const DWORD length = ::GetModuleFileNameW(module, modulePath, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        // Failed, or truncated: a cut path would name the wrong folder.
        return false;
    }
    return FolderOfModulePath(modulePath, folder);
}

bool JoinPath(const wchar_t* folder, const wchar_t* fileName, PathBuffer& path) {
    return BoundedText(path).Append(folder).Append(fileName).ok();
}

bool OwnFolderPath(const wchar_t* fileName, PathBuffer& path) {
    PathBuffer folder;
    if (!OwnFolder(nullptr, folder)) {
        path[0] = L'\0';
        return false;
    }
    return JoinPath(folder, fileName, path);
}

}  // namespace lensbeacon
