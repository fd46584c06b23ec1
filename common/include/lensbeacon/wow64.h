// Whether this process is a 32-bit program running under WOW64 on 64-bit
// Windows, which decides the registry views and the trace's payload layout.
#pragma once

namespace lensbeacon {

// False when the system has no IsWow64Process or the call fails.
[[nodiscard]] bool RunningUnderWow64();

}  // namespace lensbeacon
