// A child window that fills its frame (created with the frame's first-pane id).
#pragma once

#include <windows.h>

#include "winframe/frame_window.h"
#include "winframe/window.h"

namespace lensbeacon::winframe {

class ChildView : public Window {
  public:
    // Creates the view as a child of `parent` with this child id, style and
    // extended style, an empty rectangle and no title: PreCreateWindow first,
    // then a class from RegisterWindowClassOnce unless the override named one.
    // The frame gives the view its size. FALSE on failure.
    BOOL CreateView(HWND parent, UINT id, DWORD style, DWORD exStyle);

  protected:
    // Called with the view defaults filled in; the class double-click, with
    // the arrow cursor, no background brush and no icon. FALSE cancels.
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs, FrameWindow::ClassSpec& windowClass);
};

}  // namespace lensbeacon::winframe
