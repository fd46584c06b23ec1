// Paths built from the folder of the running program, in the suite's fixed
// 260-character buffers.
#pragma once

#include <windows.h>

#include <cstddef>

namespace lensbeacon {

inline constexpr std::size_t kPathCapacity = MAX_PATH;  // 260 wide characters
using PathBuffer = wchar_t[kPathCapacity];

// The folder of `modulePath`, up to and including its last backslash; empty
// when there is none. False, leaving `folder` empty, when the path does not
// fit.
[[nodiscard]] bool FolderOfModulePath(const wchar_t* modulePath, PathBuffer& folder);

// Folder of the module's file, up to and including the last backslash; empty
// when the module path holds no backslash. False when the path cannot be read
// or does not fit.
[[nodiscard]] bool OwnFolder(HMODULE module, PathBuffer& folder);

// `folder` followed by `fileName`; false, leaving `path` empty, when the two do
// not fit together in 260 characters.
[[nodiscard]] bool JoinPath(const wchar_t* folder, const wchar_t* fileName, PathBuffer& path);

// The own folder of the running program followed by `fileName`.
[[nodiscard]] bool OwnFolderPath(const wchar_t* fileName, PathBuffer& path);

}  // namespace lensbeacon
