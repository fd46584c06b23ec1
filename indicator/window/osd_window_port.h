// Everything the indicator window's behaviour needs from the real window:
// its images and composed bitmap, showing and hiding, timers, the clock, the
// logon screen, posting to itself, pointer tracking and placement. The window
// class implements it; tests use a fake.
#pragma once

#include <windows.h>

#include "mouse_event_ctrl.h"
#include "osd_layout.h"
#include "window_placement.h"

namespace lensbeacon::indicator {

// Which close-button image a frame draws.
enum class ButtonImage { Normal = 0, Hover = 1, Pressed = 2 };

// What one rendering of the window holds besides the glyph, which is always
// drawn.
struct OsdFrame {
    bool caption = true;       // the "Camera on" band
    bool closeButton = false;  // the close button, in `button`'s image
    ButtonImage button = ButtonImage::Normal;
};

class OsdWindowPort : public PointerTrackingPort, public PlacementPort {
  public:
    // The dots per inch of the monitor the window is on; kBaseDpi when the
    // system cannot tell.
    [[nodiscard]] virtual int WindowDpi() = 0;
    // The layout the next images and renderings are made in (at each show
    // from hidden and at each change of scale).
    virtual void UseLayout(const OsdLayout& layout) = 0;

    // Decodes the images that are not loaded yet; true when the background
    // glyph is loaded.
    [[nodiscard]] virtual bool LoadImages() = 0;
    // Composes `frame` into a fresh window bitmap; false without a glyph.
    [[nodiscard]] virtual bool Render(const OsdFrame& frame) = 0;
    // Puts the window bitmap on the screen at this constant opacity.
    virtual void Compose(BYTE constantAlpha) = 0;
    // Frees the window bitmap and the decoded images: their scale changed.
    virtual void FreeBitmapAndImages() = 0;

    virtual void ShowWithoutActivation() = 0;
    // Hides the window; its decoded images and its bitmap stay for the next
    // show (a few tens of kilobytes, against decoding them again on the way
    // to the screen).
    virtual void Hide() = 0;

    [[nodiscard]] virtual DWORD TickCount() = 0;
    // The logon screen has drawn its own windows (a show on the logon desktop
    // waits for that, so the indicator comes out on top of them).
    [[nodiscard]] virtual bool IsLogonUIReady() = 0;

    [[nodiscard]] virtual HWND Handle() = 0;
    [[nodiscard]] virtual bool PostToSelf(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // A drag follows the pointer on the screen (GetCursorPos) while the
    // primary mouse button is held (GetAsyncKeyState).
    [[nodiscard]] virtual bool PointerOnScreen(POINT& point) = 0;
    [[nodiscard]] virtual bool PrimaryButtonDown() = 0;
};

}  // namespace lensbeacon::indicator
