#include "dialog/lensdial_dlg.h"

#include <wtsapi32.h>

#include <new>

#include "dialog/dialog_layout.h"
#include "drawing/drawing.h"
#include "lensbeacon/bounded_text.h"
#include "lensbeacon/names.h"
#include "lensbeacon/localized_texts.h"
#include "resource.h"

namespace lensbeacon::settings {

using Microsoft::WRL::ComPtr;

wchar_t g_title[kTitleCapacity] = {};

namespace {

constexpr wchar_t kTitle[] = L"Lensbeacon";

HINSTANCE ModuleInstance() noexcept {
    return ::GetModuleHandleW(nullptr);
}

// The screen's dots per inch: the smaller of the two axes, 96 when unknown.
float ScreenScale() {
    WindowDc screen(nullptr);
    if (!screen) {
        return 1.0f;
    }
    return ScaleForDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX),
                       ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

// The four shared drawing objects the dialog composes itself from. The text
// factory is made only when the other two exist; the fonts then follow the
// layout scale.
bool CreateDrawingResources() {
    const bool drawing = SUCCEEDED(CreateDrawingFactory());
    const bool imaging = SUCCEEDED(CreateImagingFactory());
    if (drawing && imaging && SUCCEEDED(CreateTextFactory())) {
        g_fontScale = g_scale;
    }
    return drawing && imaging;
}

}  // namespace

CLensdialDlg::CLensdialDlg() noexcept
    : icon_(::LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

CLensdialDlg::~CLensdialDlg() {
    shadow_.reset();
    DrawingResources().writeFactory.Reset();
    ReleaseDrawingResources();
}

INT_PTR CLensdialDlg::DoModal(HINSTANCE instance, HWND parent) {
    return ModalDialog::DoModal(instance, IDD_LENSDIAL_DIALOG, parent);
}

void CLensdialDlg::BindControls() {
    closeButton_.AttachToDialog(Handle(), IDC_BTN_CLOSE);
}

BOOL CLensdialDlg::OnInitDialog() {
    ModalDialog::OnInitDialog();
    BindControls();
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    g_scale = ScreenScale();
    accelerators_ = ::LoadAcceleratorsW(ModuleInstance(), MAKEINTRESOURCEW(IDR_LENSDIAL_ACCEL));
    SelectLanguage();
    heldSwitch_ = ReadPolicySetting(kShowOsdValue);
    BoundedText title(g_title);
    title.Append(kTitle);

    // Without a background the dialog keeps the size its template gave it.
    RECT client{};
    if (::GetClientRect(Handle(), &client)) {
        width_ = client.right;
        height_ = client.bottom;
    }
    {
        // The close button still holds the resources after this until it has
        // composed its pictures.
        const DrawingUser user(Handle());
        if (CreateDrawingResources()) {
            BuildBackground();
            LayOutControls();
        }
    }

    ::SetWindowPos(Handle(), nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER);
    CentreOnScreen();
    ::SetWindowTextW(Handle(), g_title);
    ::WTSRegisterSessionNotification(Handle(), NOTIFY_FOR_THIS_SESSION);
    destroyed_ = false;
    // Focus rectangles stay hidden until the keyboard is used, as in any
    // dialog opened with the mouse: the dialog opens looking as it always has.
    ::SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    fade_.FadeIn(Handle(), shadow_.get());
    return TRUE;
}

// The template places the dialog at the screen's corner, where its shadow
// would fall off the screen: it opens centred in the work area of the
// monitor it is on instead.
void CLensdialDlg::CentreOnScreen() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return;
    }
    const POINT corner = CentredIn(monitor.rcWork, width_, height_);
    ::SetWindowPos(Handle(), nullptr, corner.x, corner.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CLensdialDlg::LayOutControls() {
    if (!dragBand_.HasRectangles()) {
        const RECT band{0, 0, width_, Scaled(kTitleBandHeight)};
        dragBand_.SetRectangles({&band, 1});
    }
    dragBand_.SetWindow(Handle());
    dragBand_.SetArea(width_, height_);

    if (closeButton_.Handle() != nullptr) {
        // Without its normal image the button paints nothing of its own; the
        // dialog goes on and can still be closed.
        static_cast<void>(closeButton_.InitImages(DrawingResources().background.Get(), g_scale));
        ::SetWindowPos(closeButton_.Handle(), nullptr, Scaled(kCloseX), Scaled(kCloseY),
                       closeButton_.Width(), closeButton_.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    CreateSwitchAndLabel();
    if (!shadow_) {
        shadow_.reset(new (std::nothrow) CWndShadow());
        if (shadow_) {
            shadow_->SetScale(g_scale);
            shadow_->AttachToOwner(Handle());
        }
    }
}

BOOL CLensdialDlg::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        ShowFocusCues();
    }
    if (accelerators_ != nullptr &&
        ::TranslateAcceleratorW(Handle(), accelerators_, &message) != 0) {
        return TRUE;
    }
    return ModalDialog::PreTranslateMessage(message);
}

// A key was pressed: from now on the focused control shows where it is.
void CLensdialDlg::ShowFocusCues() {
    if ((::SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0) {
        ::SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    }
    selector_.ShowFocusCues();
}

void CLensdialDlg::FadeOut() {
    fade_.FadeOut(Handle(), shadow_.get());
}

void CLensdialDlg::OnCommand(WORD id, WORD code) {
    switch (id) {
        case ID_KEY_CLOSE:
            FadeOut();
            break;
        case ID_KEY_OFF:
            selector_.SetPosition(0, FALSE, TRUE);
            break;
        case ID_KEY_ON:
            selector_.SetPosition(1, FALSE, TRUE);
            break;
        case IDC_BTN_CLOSE:
            if (code == BN_CLICKED) {
                // The button's look changes at once: the window fades anyway.
                closeButton_.SetAnimate(false);
                FadeOut();
            }
            break;
        // Enter and Alt+F4 end the dialog at once, without a fade.
        case IDOK:
            EndDialog(IDOK);
            break;
        case IDCANCEL:
            EndDialog(IDCANCEL);
            break;
        default:
            break;
    }
}

void CLensdialDlg::CleanUp() {
    ::WTSUnRegisterSessionNotification(Handle());
    if (tipLabel_.Created()) {
        tipLabel_.CleanUp();
    }
    if (selector_.Created()) {
        selector_.CleanUp();
    }
    closeButton_.ReleaseImages();
    backgroundDc_.reset();
    windowDc_.reset();
    destroyed_ = true;
}

LRESULT CLensdialDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            if (!destroyed_) {
                CleanUp();
            }
            break;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSELEAVE:
            OnMouse(message, lParam);
            break;
        case WM_WTSSESSION_CHANGE:
            if (wParam == WTS_CONSOLE_CONNECT) {
                RefreshSwitch();
            }
            break;
        case kEndOkMessage:
            EndDialog(IDOK);
            return 0;
        case kEndCancelMessage:
            EndDialog(IDCANCEL);
            return 0;
        case WM_TIMER:
            if (wParam == CFadeDialogEffect::kFadeInTimer) {
                fade_.FadeInStep();
            } else if (wParam == CFadeDialogEffect::kFadeOutTimer) {
                fade_.FadeOutStep();
            }
            break;
        case WM_ERASEBKGND: {
            ModalDialog::WindowProc(message, wParam, lParam);
            PaintBackground(reinterpret_cast<HDC>(wParam));
            return TRUE;
        }
        case WM_HELP:
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        default:
            break;
    }
    return ModalDialog::WindowProc(message, wParam, lParam);
}

}  // namespace lensbeacon::settings
