// The pause before a watch that failed (a registry notification that could
// not be armed or waited on) is tried again: a second after the first
// failure, doubling with each failure in a row up to a minute, so a watch
// that keeps failing costs next to nothing and one that recovers is back soon.
#pragma once

#include <windows.h>

#include <algorithm>

namespace lensbeacon {

inline constexpr DWORD kFirstRetryPauseMs = 1'000;
inline constexpr DWORD kMaxRetryPauseMs = 60'000;

// The next pause, after `lastMs` (0 when the watch worked since).
[[nodiscard]] constexpr DWORD NextRetryPauseMs(DWORD lastMs) {
    return lastMs == 0 ? kFirstRetryPauseMs : std::min(lastMs * 2, kMaxRetryPauseMs);
}

}  // namespace lensbeacon
