#include "winframe/child_view.h"

namespace lensbeacon::winframe {

BOOL ChildView::CreateView(HWND parent, UINT id, DWORD style, DWORD exStyle) {
    if (Handle() != nullptr) {
        return FALSE;
    }
    CREATESTRUCTW cs{};
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
    cs.hwndParent = parent;
    cs.style = static_cast<LONG>(style);
    cs.dwExStyle = exStyle;
    FrameWindow::ClassSpec windowClass{CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW), nullptr,
                                       nullptr};
    if (!PreCreateWindow(cs, windowClass)) {
        return FALSE;
    }
    return CreateFromStruct(cs, windowClass.style, windowClass.cursor, windowClass.background,
                            windowClass.icon);
}

BOOL ChildView::PreCreateWindow(CREATESTRUCTW&, FrameWindow::ClassSpec&) {
    return TRUE;
}

}  // namespace lensbeacon::winframe
