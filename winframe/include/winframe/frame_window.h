// A top-level frame window loaded from resources, with a child view that
// fills its client area.
#pragma once

#include <windows.h>

#include "winframe/window.h"

namespace lensbeacon::winframe {

class FrameWindow : public Window {
  public:
    // The child id of the view the frame keeps sized to its client area.
    static constexpr UINT kFirstPaneId = 0xE900;

    // The window class a frame or view asks RegisterWindowClassOnce for.
    struct ClassSpec {
        UINT style;
        HCURSOR cursor;
        HBRUSH background;
        HICON icon;
    };

    // Loads the menu, the icon and the title (the string table entry up to
    // its first line break) with this resource id from the instance, each of
    // which may be missing; lets PreCreateWindow change the window and class;
    // registers the class through RegisterWindowClassOnce unless the override
    // named a class of its own; and creates the frame with that menu. FALSE on
    // failure, with the menu freed unless the window took it.
    BOOL LoadFrame(HINSTANCE instance, UINT resourceId, DWORD style, HWND parent);

  protected:
    // Called with the frame defaults filled in: the style as given,
    // CW_USEDEFAULT position and size, WS_EX_CLIENTEDGE, the loaded menu and
    // title; the class double-click and redraw-on-resize, with the arrow
    // cursor, the window colour and the loaded icon. An override may change
    // any of them, or set cs.lpszClass to use a class of its own. FALSE
    // cancels the creation.
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs, ClassSpec& windowClass);

    // Called from WM_CREATE; -1 fails the creation. The default passes
    // WM_CREATE to DefaultProc and answers -1 if that did.
    virtual int OnCreate(const CREATESTRUCTW& cs);

    // WM_CREATE goes to OnCreate; on WM_SIZE, after DefaultProc, the child
    // with id kFirstPaneId is sized to the client area; everything else goes
    // to DefaultProc.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace lensbeacon::winframe
