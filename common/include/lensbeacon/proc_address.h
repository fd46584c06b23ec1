// Typed GetProcAddress: the function a module exports under `name`, as a
// pointer of the caller's type, or null when the module does not export it.
#pragma once

#include <windows.h>

namespace lensbeacon {

template <typename Function>
Function ProcAddress(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    // Through void*: FARPROC's signature never matches the real one.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace lensbeacon
