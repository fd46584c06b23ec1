// Owner for service-manager and service handles.
#pragma once

#include <windows.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

struct ScHandleTraits {
    using pointer = SC_HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { ::CloseServiceHandle(value); }
};

using UniqueScHandle = UniqueOwner<ScHandleTraits>;

}  // namespace lensbeacon
