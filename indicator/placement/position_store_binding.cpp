#include "position_store_binding.h"

#include "lensbeacon/own_folder.h"
#include "lensbeacon/proc_address.h"

#include <utility>

namespace lensbeacon::indicator {
namespace {

// "C:\..." or "\\server\...": a path the loader takes as it is, never one it
// resolves against the current folder or the search order.
bool IsFullFolder(const wchar_t* folder) {
    const bool drive =
        ((folder[0] >= L'A' && folder[0] <= L'Z') || (folder[0] >= L'a' && folder[0] <= L'z')) &&
        folder[1] == L':' && folder[2] == L'\\';
    const bool unc = folder[0] == L'\\' && folder[1] == L'\\';
    return drive || unc;
}

}  // namespace

bool Win32PositionStorePort::Bind() {
    PathBuffer folder;
    if (!OwnFolder(nullptr, folder)) {
        return false;
    }
    return Bind(folder);
}

bool Win32PositionStorePort::Bind(const wchar_t* folder) {
    if (library_) {
        return true;
    }
    PathBuffer path;
    if (folder == nullptr || !IsFullFolder(folder) ||
        !JoinPath(folder, kPositionStoreLibrary, path)) {
        return false;
    }
    UniqueModule library(::LoadLibraryW(path));
    if (!library) {
        return false;
    }
    get_ = ProcAddress<GetPositionInformationFn>(library.get(), kGetPositionInformationExport);
    set_ = ProcAddress<SetPositionInformationFn>(library.get(), kSetPositionInformationExport);
    save_ = ProcAddress<SavePositionInformationFn>(library.get(), kSavePositionInformationExport);
    restore_ =
        ProcAddress<RestorePositionInformationFn>(library.get(), kRestorePositionInformationExport);
    library_ = std::move(library);
    return true;
}

bool Win32PositionStorePort::Get(StoredPosition& position) {
    if (get_ == nullptr) {
        return false;
    }
    return get_(&position.x, &position.y, &position.screenWidth, &position.screenHeight) != FALSE;
}

bool Win32PositionStorePort::Set(const StoredPosition& position) {
    if (set_ == nullptr) {
        return false;
    }
    return set_(position.x, position.y, position.screenWidth, position.screenHeight) != FALSE;
}

bool Win32PositionStorePort::Save() {
    return save_ != nullptr && save_() != FALSE;
}

bool Win32PositionStorePort::Restore() {
    return restore_ != nullptr && restore_() != FALSE;
}

}  // namespace lensbeacon::indicator
