// The switch for screen readers and the keyboard: an accessible check button
// named for the dialog's description, checked while on and unavailable while
// disabled; Space toggles it with the same events as a click, and a focus
// rectangle shows where the keyboard is.
#include "controls/selector_wnd.h"

namespace lensbeacon::settings {
namespace {

// SetPosition's step value that flips the switch.
constexpr int kToggle = 2;

}  // namespace

winframe::AccessibleDescription CSelectorWndEx2::Describe() {
    const bool on = core_.Position() != 0;
    winframe::AccessibleDescription description;
    description.name = accessibleName_;
    description.role = ROLE_SYSTEM_CHECKBUTTON;
    description.state = STATE_SYSTEM_FOCUSABLE | (on ? STATE_SYSTEM_CHECKED : 0);
    if (Handle() == nullptr || !::IsWindowEnabled(Handle())) {
        description.state |= STATE_SYSTEM_UNAVAILABLE;
    }
    description.defaultAction = on ? L"Uncheck" : L"Check";
    description.description = accessibleDescription_;
    return description;
}

bool CSelectorWndEx2::DoDefaultAction() {
    return core_.SetPosition(kToggle, FALSE, TRUE) != FALSE;
}

bool CSelectorWndEx2::OnAccessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_KEYDOWN:
            // A held key repeats: only its first press toggles.
            if (wParam == VK_SPACE && (lParam & (1L << 30)) == 0) {
                core_.SetPosition(kToggle, FALSE, TRUE);
                return true;
            }
            return false;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: {
            // Let the system record the focus or the cue state first.
            result = DefaultProc(message, wParam, lParam);
            const RECT whole{0, 0, layout_.width, layout_.height};
            Show(whole);
            if (message != WM_UPDATEUISTATE) {
                winframe::NotifyAccessibleEvent(
                    message == WM_SETFOCUS ? EVENT_OBJECT_FOCUS : EVENT_OBJECT_STATECHANGE,
                    Handle());
            }
            return true;
        }
        default:
            return false;
    }
}

void CSelectorWndEx2::ShowFocusCues() {
    if (!focusCues_) {
        focusCues_ = true;
        const RECT whole{0, 0, layout_.width, layout_.height};
        Show(whole);
    }
}

bool CSelectorWndEx2::FocusShown() {
    if (!focusCues_ || Handle() == nullptr || ::GetFocus() != Handle()) {
        return false;
    }
    const LRESULT cues = ::SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0);
    return (cues & UISF_HIDEFOCUS) == 0;
}

void CSelectorWndEx2::StateChanged() {
    winframe::NotifyAccessibleEvent(EVENT_OBJECT_STATECHANGE, Handle());
}

}  // namespace lensbeacon::settings
