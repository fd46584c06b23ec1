#include "lensbeacon/own_folder.h"

#include <cwchar>

namespace lensbeacon {

bool OwnFolder(HMODULE module, PathBuffer& folder) {
    folder[0] = L'\0';
    const DWORD length = ::GetModuleFileNameW(module, folder, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        // Failed, or truncated: a cut path would name the wrong folder.
        folder[0] = L'\0';
        return false;
    }
    wchar_t* lastSlash = std::wcsrchr(folder, L'\\');
    if (lastSlash == nullptr) {
        folder[0] = L'\0';
    } else {
        lastSlash[1] = L'\0';
    }
    return true;
}

bool JoinPath(const wchar_t* folder, const wchar_t* fileName, PathBuffer& path) {
    path[0] = L'\0';
    const std::size_t folderLength = std::wcslen(folder);
    const std::size_t nameLength = std::wcslen(fileName);
    if (folderLength + nameLength >= kPathCapacity) {
        return false;
    }
    std::wmemcpy(path, folder, folderLength);
    std::wmemcpy(path + folderLength, fileName, nameLength);
    path[folderLength + nameLength] = L'\0';
    return true;
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
