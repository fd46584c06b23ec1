// The floating indicator: a layered, topmost tool window of 128 x 75 pixels
// at 96 dpi, scaled with the monitor it is on (osd_layout.h), with the camera
// glyph, the "Camera on" caption band and a close button, a
// tooltip naming the programs that hold the camera, and an alert for screen
// readers when it shows; its words are in the language of the instance's
// desktop, chosen when the window object is made.
// Its behaviour lives in OsdWindowCore; this class gives the core the real
// window, images, bitmap, timers and pointer.
#pragma once

#include <windows.h>

#include "camera_announcer.h"
#include "indicator_state.h"
#include "lensbeacon/unique_owner.h"
#include "osd_canvas.h"
#include "osd_images.h"
#include "osd_window_core.h"
#include "osd_window_port.h"
#include "position_store_port.h"
#include "windows_version.h"
#include "winframe/window.h"

namespace lensbeacon::indicator {

class CCameraOSDWnd final : public winframe::Window, private OsdWindowPort {
  public:
    CCameraOSDWnd(IndicatorState& state, PositionStorePort& store, const WindowsVersion& version);
    ~CCameraOSDWnd() override;
    CCameraOSDWnd(const CCameraOSDWnd&) = delete;
    CCameraOSDWnd& operator=(const CCameraOSDWnd&) = delete;

    // Registers "Lenspop Class" and creates the hidden window; false when it
    // cannot be created (show requests then have no effect).
    [[nodiscard]] BOOL CreateIndicator();
    // Frees everything the window holds and destroys it.
    void DestroyIndicator();

    [[nodiscard]] HWND Handle() override { return Window::Handle(); }

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // OsdWindowPort
    [[nodiscard]] int WindowDpi() override;
    void UseLayout(const OsdLayout& layout) override;
    [[nodiscard]] bool LoadImages() override;
    [[nodiscard]] bool Render(const OsdFrame& frame) override;
    void Compose(BYTE constantAlpha) override;
    void FreeBitmapAndImages() override;
    void ShowWithoutActivation() override;
    void Hide() override;
    [[nodiscard]] DWORD TickCount() override;
    [[nodiscard]] bool IsLogonUIReady() override;
    [[nodiscard]] bool PostToSelf(UINT message, WPARAM wParam, LPARAM lParam) override;
    [[nodiscard]] bool PointerOnScreen(POINT& point) override;
    [[nodiscard]] bool PrimaryButtonDown() override;
    // PointerTrackingPort
    [[nodiscard]] bool TrackMouseLeave() override;
    [[nodiscard]] bool SetTimer(UINT_PTR id, UINT periodMs) override;
    [[nodiscard]] bool KillTimer(UINT_PTR id) override;
    [[nodiscard]] bool CursorOverWindow() override;
    // PlacementPort
    [[nodiscard]] ScreenSize PrimaryScreenSize() override;
    [[nodiscard]] bool MoveTopmost(int x, int y, int width, int height) override;
    [[nodiscard]] bool WindowRect(RECT& rect) override;
    [[nodiscard]] bool IsVisible() override;

    // Does once, at creation, the work of a first show (decoding the images,
    // making the bitmap and the text target, DirectWrite's first look at the
    // fonts), so that no show waits for it.
    void PrepareShows();

    // GDI+ is started first and shut down last, after every image is gone.
    GdiplusSession gdiplus_;
    const WindowsVersion version_;
    // The language index; before the announcer, which is given its caption.
    const int language_;
    // The layout the images and the bitmap are made in.
    OsdLayout layout_;
    OsdImages images_;
    OsdCanvas canvas_;
    bool captionDrawn_ = false;  // the last caption drawn came out
    SIZE textSlotSize_{0, 0};    // the size the caption's text target was made for
    OsdWindowCore core_;
    UniqueGlobalAtom penProperty_;
    CameraAnnouncer announcer_;
};

}  // namespace lensbeacon::indicator
