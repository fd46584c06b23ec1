// The plain path arithmetic of own_folder.h, apart from the calls that ask
// the system for a module's path, so that cores may use it.
#include <cwchar>

#include "lensbeacon/bounded_text.h"
#include "lensbeacon/own_folder.h"

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

bool JoinPath(const wchar_t* folder, const wchar_t* fileName, PathBuffer& path) {
    return BoundedText(path).Append(folder).Append(fileName).ok();
}

}  // namespace lensbeacon
