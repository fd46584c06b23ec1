// The module the skeleton is linked into: the instance its window classes are
// registered under and its windows are created with.
#pragma once

#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace lensbeacon::winframe::detail {

inline HINSTANCE ModuleInstance() noexcept {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

}  // namespace lensbeacon::winframe::detail
