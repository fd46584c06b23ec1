#include "window_dpi.h"

#include "lensbeacon/dpi_scale.h"
#include "lensbeacon/proc_address.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// The system's dots per inch, as every monitor has it before Windows 10.
int SystemDpi() noexcept {
    WindowDc screen(nullptr);
    if (!screen) {
        return kBaseDpi;
    }
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int DpiOfWindow(HWND window) noexcept {
    // user32 is loaded in every process with a window; it is not loaded here.
    static const GetDpiForWindowFn getDpiForWindow =
        ProcAddress<GetDpiForWindowFn>(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return SystemDpi();
}

}  // namespace lensbeacon::indicator
