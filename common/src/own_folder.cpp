#include "lensbeacon/own_folder.h"

namespace lensbeacon {

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

bool OwnFolderPath(const wchar_t* fileName, PathBuffer& path) {
    PathBuffer folder;
    if (!OwnFolder(nullptr, folder)) {
        path[0] = L'\0';
        return false;
    }
    return JoinPath(folder, fileName, path);
}

}  // namespace lensbeacon
