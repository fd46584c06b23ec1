// The hotkey message and the Change event it sets.
#include "hotkey.h"

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::indicator {

UINT RegisterHotkeyMessage() {
    return ::RegisterWindowMessageW(kHotkeyMessageName);
}

BOOL OnHotkeyMessage(WPARAM wParam) {
    if (wParam != kHotkeyCameraChanged) {
        return FALSE;
    }
    const UniqueHandle change(::OpenEventW(EVENT_MODIFY_STATE, FALSE, kChangeEventName));
    if (!change) {
        return FALSE;
    }
    return ::SetEvent(change.get()) ? TRUE : FALSE;
}

}  // namespace lensbeacon::indicator
