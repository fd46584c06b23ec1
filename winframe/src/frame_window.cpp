#include "winframe/frame_window.h"

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::winframe {
namespace {

using UniqueMenu = UniqueOwner<HMENU, ::DestroyMenu>;

constexpr int kTitleCapacity = 260;

}  // namespace

BOOL FrameWindow::LoadFrame(HINSTANCE instance, UINT resourceId, DWORD style, HWND parent) {
    if (Handle() != nullptr) {
        return FALSE;
    }
    // A child's "menu" is its id: no menu is loaded for one.
    UniqueMenu menu;
    if ((style & WS_CHILD) == 0) {
        menu.reset(::LoadMenuW(instance, MAKEINTRESOURCEW(resourceId)));
    }
    HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(resourceId));  // shared, never freed
    wchar_t title[kTitleCapacity] = {};
    if (::LoadStringW(instance, resourceId, title, kTitleCapacity) > 0) {
        for (wchar_t& c : title) {
            if (c == L'\n') {
                c = L'\0';
                break;
            }
        }
    }

    CREATESTRUCTW cs{};
    cs.hInstance = instance;
    cs.hMenu = menu.get();
    cs.hwndParent = parent;
    cs.x = CW_USEDEFAULT;
    cs.y = CW_USEDEFAULT;
    cs.cx = CW_USEDEFAULT;
    cs.cy = CW_USEDEFAULT;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = title;
    cs.dwExStyle = WS_EX_CLIENTEDGE;
    ClassSpec windowClass{CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                          reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), icon};
    if (!PreCreateWindow(cs, windowClass)) {
        return FALSE;
    }
    const BOOL created = CreateFromStruct(cs, windowClass.style, windowClass.cursor,
                                          windowClass.background, windowClass.icon);
    // A window that existed, even briefly, owns the menu it was given and
    // destroys it with itself.
    if (cs.hMenu == menu.get() && (created || WindowWasCreated())) {
        menu.release();
    }
    return created;
}

BOOL FrameWindow::PreCreateWindow(CREATESTRUCTW&, ClassSpec&) {
    return TRUE;
}

int FrameWindow::OnCreate(const CREATESTRUCTW& cs) {
    return DefaultProc(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1 ? -1 : 0;
}

LRESULT FrameWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam));
        case WM_SIZE: {
            const LRESULT result = DefaultProc(message, wParam, lParam);
            if (wParam != SIZE_MINIMIZED) {
                HWND pane = ::GetDlgItem(Handle(), static_cast<int>(kFirstPaneId));
                RECT client;
                if (pane != nullptr && ::GetClientRect(Handle(), &client)) {
                    ::SetWindowPos(pane, nullptr, 0, 0, client.right, client.bottom,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
                }
            }
            return result;
        }
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

}  // namespace lensbeacon::winframe
