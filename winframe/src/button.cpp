#include "winframe/button.h"

namespace lensbeacon::winframe {

BOOL SubclassedButton::SubclassDlgItem(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    if (item == nullptr) {
        return FALSE;
    }
    return Subclass(item);
}

BOOL SubclassedButton::DrawItem(const DRAWITEMSTRUCT&) {
    return FALSE;
}

BOOL SubclassedButton::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM || lParam == 0) {
        return FALSE;
    }
    if (!DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
        return FALSE;
    }
    result = TRUE;
    return TRUE;
}

}  // namespace lensbeacon::winframe
