#include "main_frame.h"

#include <wtsapi32.h>

#include "camera_osd_wnd.h"
#include "hotkey.h"
#include "lensbeacon/paint_scope.h"

namespace lensbeacon::indicator {
namespace {

constexpr const wchar_t* kFrameTitle = L"Lenspop MainFrm Window";
// The frameworks' first pane: the view's child id.
constexpr UINT kViewId = 0xE900;
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;  // 0x50800000

}  // namespace

CChildView::CChildView() noexcept = default;
CChildView::~CChildView() = default;

BOOL CChildView::PreCreateWindow(CREATESTRUCTW& cs, winframe::FrameWindow::ClassSpec& windowClass) {
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.cursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.icon = nullptr;
    return TRUE;
}

LRESULT CChildView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        // Nothing to draw: the paint only validates the update region.
        const PaintScope paint(Handle());
        return 0;
    }
    return ChildView::WindowProc(message, wParam, lParam);
}

CMainFrame::CMainFrame(IndicatorState& state, UINT hotkeyMessage)
    : state_(state), hotkeyMessage_(hotkeyMessage) {
    // Without the library (or its entry points) the indicator takes its
    // default position: the store's calls then do nothing.
    static_cast<void>(positions_.Bind());
    static_cast<void>(positions_.Restore());
}

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs, ClassSpec& windowClass) {
    if (!FrameWindow::PreCreateWindow(cs, windowClass)) {
        return FALSE;
    }
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    windowClass = ClassSpec{0, nullptr, nullptr, nullptr};
    return TRUE;
}

int CMainFrame::OnCreate(const CREATESTRUCTW& cs) {
    if (FrameWindow::OnCreate(cs) == -1) {
        return -1;
    }
    if (!view_.CreateView(Handle(), kViewId, kViewStyle, 0)) {
        return -1;
    }
    version_ = DetectWindowsVersion();
    // Without the registration, session changes are simply never seen.
    ::WTSRegisterSessionNotification(Handle(), NOTIFY_FOR_THIS_SESSION);
    ::SetWindowTextW(Handle(), kFrameTitle);
    view_.shutDown = FALSE;
    return 0;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == hotkeyMessage_ && hotkeyMessage_ != 0) {
        // The answer is the frame's own: the message goes on to the default.
        static_cast<void>(OnHotkeyMessage(wParam));
    } else {
        switch (message) {
            case WM_DESTROY:
            case WM_CLOSE:
                if (!view_.shutDown) {
                    ShutdownIndicator();
                }
                break;
            case WM_ENDSESSION:
                HandleEndSession(wParam, state_, *this);
                break;
            case WM_WTSSESSION_CHANGE:
                HandleSessionChange(wParam, state_, *this);
                break;
            case WM_OSD_QUIT:
                ShutdownIndicator();
                ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
                break;
            case WM_OSD_START:
                StartIndicator();
                break;
            case WM_SETFOCUS:
                if (view_.Handle() != nullptr) {
                    ::SetFocus(view_.Handle());
                }
                return 0;
            default:
                break;
        }
    }
    return FrameWindow::WindowProc(message, wParam, lParam);
}

void CMainFrame::StartIndicator() {
    // A window that could not be created only means no show ever has an
    // effect; the listener still runs, so the program still ends with the
    // service.
    if (!view_.indicator) {
        view_.indicator = std::make_unique<CCameraOSDWnd>(state_, positions_, version_);
        static_cast<void>(view_.indicator->CreateIndicator());
    }
    if (!listener_) {
        listener_ = std::make_unique<Listener>(state_, Handle(), view_.indicator->Handle());
    }
    // Without a listener the program runs on and never shows.
    static_cast<void>(listener_->Start());
}

void CMainFrame::ShutdownIndicator() {
    if (view_.shutDown) {
        return;
    }
    if (SavesAtShutdown(state_)) {
        SavePosition();
    }
    // The listener is stopped before the window it posts to goes away.
    if (listener_) {
        listener_->Stop();
    }
    if (view_.indicator) {
        view_.indicator->DestroyIndicator();
        view_.indicator.reset();
    }
    ::WTSUnRegisterSessionNotification(Handle());
    view_.shutDown = TRUE;
}

void CMainFrame::RestorePosition() {
    // An unbound store keeps the position in memory only.
    static_cast<void>(positions_.Restore());
}

void CMainFrame::SavePosition() {
    // A failed save is silent; the next save tries again.
    static_cast<void>(positions_.Save());
}

void CMainFrame::PostShowHide(LPARAM show) {
    if (view_.indicator) {
        ::PostMessageW(view_.indicator->Handle(), WM_OSD_SHOWHIDE,
                       reinterpret_cast<WPARAM>(Handle()), show);
    }
}

}  // namespace lensbeacon::indicator
