// The settings dialog is dragged by its title band: the band is the one
// region of the dialog's mouse tracker, and a press on it hands the move to
// the system as a press on a caption.
#include "dialog/lensdial_dlg.h"

namespace lensbeacon::settings {

void CLensdialDlg::OnMouse(UINT message, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE: {
            int previous = -1;
            int current = -1;
            dragBand_.OnMouseMove(lParam, &previous, &current);
            break;
        }
        case WM_LBUTTONDOWN: {
            // The press point is hit-tested itself: a press need not follow
            // a move to the same point (a window that opened under a still
            // pointer, a touch).
            int previous = -1;
            int current = -1;
            dragBand_.OnMouseMove(lParam, &previous, &current);
            dragBand_.SetPressedIndex(dragBand_.HoverIndex());
            if (dragBand_.HoverIndex() == 0) {
                // The system moves the window as if its caption were pressed;
                // that message takes the point in screen coordinates. It is
                // sent, not posted: the move loop starts from the point of
                // the message being handled, and only this press's own
                // message has the press point for certain. It returns once
                // the button is let go.
                POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                if (::ClientToScreen(Handle(), &point)) {
                    static_cast<void>(::SendMessageW(Handle(), WM_NCLBUTTONDOWN, HTCAPTION,
                                                     MAKELPARAM(point.x, point.y)));
                }
            }
            break;
        }
        case WM_LBUTTONUP:
            if (dragBand_.PressedIndex() == dragBand_.HoverIndex()) {
                dragBand_.SetPressedIndex(-1);
            }
            break;
        case WM_LBUTTONDBLCLK:
            dragBand_.SetPressedIndex(dragBand_.HoverIndex());
            break;
        case WM_MOUSELEAVE:
            dragBand_.ClearTracking();
            dragBand_.SetHoverSubRegion(-1);
            dragBand_.SetHoverIndex(-1);
            break;
        default:
            break;
    }
}

}  // namespace lensbeacon::settings
