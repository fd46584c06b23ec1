#include "winframe/child_view.h"

#include "winframe/window_class.h"

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
    const wchar_t* className = ClassForCreation(cs.lpszClass, windowClass.style, windowClass.cursor,
                                                windowClass.background, windowClass.icon);
    if (className == nullptr) {
        return FALSE;
    }
    return CreateEx(cs.dwExStyle, className, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                    cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.lpCreateParams);
}

BOOL ChildView::PreCreateWindow(CREATESTRUCTW&, FrameWindow::ClassSpec&) {
    return TRUE;
}

}  // namespace lensbeacon::winframe
