// Owner for service-manager and service handles.
#pragma once

#include <windows.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

using UniqueScHandle = UniqueOwner<SC_HANDLE, ::CloseServiceHandle>;

}  // namespace lensbeacon
