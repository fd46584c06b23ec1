// What the indicator program's threads share: the process-wide flags, and the
// three private window messages. The listener thread writes consoleState,
// lockState and cameraOn, which the user-interface thread also reads and
// writes; each is one aligned 32-bit value read and written whole, with
// stopEvent as the only signal back to the listener. These three are accessed
// in the default, sequentially consistent order: the listener stores cameraOn
// before it reads the lock state, the session-change handling stores the lock
// state before it reads cameraOn, and only a single order of all those
// accesses guarantees that one of the two sees the other's store. The other
// flags belong to the user-interface thread alone.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace lensbeacon::indicator {

// Message numbers are fixed: other builds of the program may post them.
inline constexpr UINT WM_OSD_START = WM_USER + 301;     // 1325, to the main frame
inline constexpr UINT WM_OSD_QUIT = WM_USER + 222;      // 1246, to the main frame
inline constexpr UINT WM_OSD_SHOWHIDE = WM_USER + 500;  // 1524, to the indicator window
static_assert(WM_OSD_START == 1325 && WM_OSD_QUIT == 1246 && WM_OSD_SHOWHIDE == 1524);

// lParam of WM_OSD_SHOWHIDE; any other value is ignored.
inline constexpr LPARAM kOsdHide = 0;
inline constexpr LPARAM kOsdShow = 1;

// consoleState and lockState before the first camera event.
inline constexpr std::int32_t kStateUnknown = 2;

struct IndicatorState {
    // Shared with the listener thread.
    std::atomic<std::int32_t> ordinaryDesktop{TRUE};
    std::atomic<std::int32_t> consoleState{kStateUnknown};  // 1 attached to the console, 0 not
    std::atomic<std::int32_t> lockState{kStateUnknown};     // 1 user desktop in front, 0 locked
    std::atomic<std::int32_t> cameraOn{0};

    // User-interface thread only.
    BOOL captionShown = TRUE;
    BOOL closeButtonShown = FALSE;
    BOOL dragStarted = FALSE;
    BOOL moveInProgress = FALSE;
    BOOL lastPressed = FALSE;
    BOOL positionSaved = FALSE;

    // This instance's desktop is in front: the user-desktop instance while the
    // session is unlocked, the logon-desktop instance while it is locked. An
    // unknown lock state (2) never matches.
    [[nodiscard]] bool DesktopInFront() const noexcept {
        return lockState.load() == ordinaryDesktop.load();
    }
};
static_assert(std::atomic<std::int32_t>::is_always_lock_free);

}  // namespace lensbeacon::indicator
