#include "camera_osd_wnd.h"

#include "camera_announcement.h"
#include "indicator_language.h"
#include "lensbeacon/indicator_words.h"
#include "lensbeacon/localized_texts.h"
#include "lensbeacon/names.h"
#include "text_renderer.h"
#include "window_dpi.h"
#include "winframe/pointer_leave.h"

namespace lensbeacon::indicator {
namespace {

// Switches press-and-hold of the pen off for the window.
constexpr const wchar_t* kPenProperty = L"MicrosoftTabletPenServiceProperty";
constexpr DWORD kExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;  // 0x00080088
// The lengths of the window, its caption and its close button come from the
// layout (osd_layout.h): a caption longer than the band is drawn smaller,
// down to the layout's floor, with its inset kept clear at each end.
constexpr const wchar_t* kCaptionFamily = L"Segoe UI";
constexpr const wchar_t* kJapaneseCaptionFamily = L"Meiryo";
constexpr int kCentredTop = 1;

}  // namespace

CCameraOSDWnd::CCameraOSDWnd(IndicatorState& state, PositionStorePort& store,
                             const WindowsVersion& version)
    : version_(version),
      language_(SelectIndicatorLanguage(state.ordinaryDesktop.load() != FALSE,
                                        SystemInterfaceLanguages())),
      core_(*this, state, store),
      announcer_(state, IndicatorWordsFor(language_).caption) {
    UseAnnouncementLanguage(language_);
}

CCameraOSDWnd::~CCameraOSDWnd() {
    canvas_.Reset();
    images_.Free();
}

BOOL CCameraOSDWnd::CreateIndicator() {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ::DefWindowProcW;  // subclassed when created
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kIndicatorWindowClass;
    if (::RegisterClassW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return FALSE;
    }
    if (!CreateEx(kExStyle, kIndicatorWindowClass, kIndicatorWindowTitle, WS_POPUP, 0, 0, 0, 0,
                  nullptr, nullptr)) {
        return FALSE;
    }
    EnsureTextFactory();
    PrepareShows();
    // Without a tooltip the indicator still shows and still speaks. Its area
    // is the glyph at the scale the window starts with.
    const OsdLayout start = LayoutForDpi(WindowDpi());
    announcer_.Create(Handle(),
                      RECT{start.glyphLeft, 0, start.glyphLeft + start.glyphSize, start.glyphSize});
    penProperty_.reset(::GlobalAddAtomW(kPenProperty));
    if (penProperty_) {
        ::SetPropW(Handle(), kPenProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
    }
    return TRUE;
}

void CCameraOSDWnd::DestroyIndicator() {
    if (penProperty_) {
        ::RemovePropW(Handle(), kPenProperty);
        penProperty_.reset();
    }
    canvas_.Reset();
    images_.Free();
    ReleaseAllText();
    announcer_.Destroy();
    core_.BeginDestroy();
    DestroyWindow();
}

LRESULT CCameraOSDWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (message == WM_GETOBJECT && announcer_.AnswerGetObject(wParam, lParam, result)) {
        return result;
    }
    if (message == WM_NOTIFY && lParam != 0 &&
        announcer_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) {
        return result;
    }
    if (message == WM_MOUSEMOVE) {
        announcer_.OnPointerMove(wParam, lParam);
    }
    if (message == kRecordsChangedMessage) {
        announcer_.OnRecordsChanged();
        return 0;
    }
    if (message == kDescriptionsArrivedMessage) {
        announcer_.OnDescriptionsArrived();
        return 0;
    }
    if (message == WM_TIMER) {
        core_.OnTimer(static_cast<UINT_PTR>(wParam));
        return DefaultProc(message, wParam, lParam);
    }
    if (core_.HandleMessage(message, wParam, lParam, result)) {
        return result;
    }
    return DefaultProc(message, wParam, lParam);
}

int CCameraOSDWnd::WindowDpi() {
    return DpiOfWindow(Handle());
}

void CCameraOSDWnd::UseLayout(const OsdLayout& layout) {
    layout_ = layout;
    announcer_.SetTipArea(
        RECT{layout.glyphLeft, 0, layout.glyphLeft + layout.glyphSize, layout.glyphSize});
}

void CCameraOSDWnd::PrepareShows() {
    // The frame every show starts with (the glyph and the caption) is drawn
    // once here and kept (see Render), so that no show waits for decoding
    // the images, making the bitmap and the text target, or DirectWrite's
    // first look at the fonts. Nothing is composed yet.
    static_cast<void>(LoadImages() && Render(OsdFrame{}));
}

bool CCameraOSDWnd::LoadImages() {
    return images_.Load(::GetModuleHandleW(nullptr), layout_);
}

bool CCameraOSDWnd::Render(const OsdFrame& frame) {
    const OsdLayout& l = layout_;
    Gdiplus::Bitmap* background = images_.Background();
    if (background == nullptr || !canvas_.Create(l.width, l.height)) {
        return false;
    }
    if (!canvas_.HasBitmap()) {
        return true;  // nothing to draw into; the window shows empty
    }
    if (frame.caption && !frame.closeButton && canvas_.Restore()) {
        return true;  // the frame a show starts with, as drawn at creation
    }
    // GDI+ draws straight into the DIB's premultiplied pixels; rows run
    // bottom-up, so the top row is the scan start and the stride negative.
    const int stride = l.width * 4;
    Gdiplus::Bitmap surface(l.width, l.height, -stride, PixelFormat32bppPARGB,
                            reinterpret_cast<BYTE*>(canvas_.Row(0)));
    {
        Gdiplus::Graphics graphics(&surface);
        // The images are drawn at their own size, which is the layout's (the
        // images were made for it): an exact copy, so the nearly transparent
        // pixels that catch the pointer stay as they are.
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(background, l.glyphLeft, 0, l.glyphSize, l.glyphSize);
        if (frame.caption) {
            // White at alpha 1: invisible, but it catches the pointer.
            Gdiplus::SolidBrush band(Gdiplus::Color(1, 255, 255, 255));
            graphics.FillRectangle(&band, 0, l.captionTop, l.width, l.height + l.captionOverhang);
        }
    }
    if (frame.caption) {
        // The text target lives with the bitmap it draws into, from one
        // caption to the next, and is made again for a bitmap of another
        // size. A slot that could not be made leaves DrawTextInRect nothing
        // to draw with; a caption that failed to draw is simply missing.
        if (TextSlotTarget(0) == nullptr || textSlotSize_.cx != l.width ||
            textSlotSize_.cy != l.height) {
            textSlotSize_ = CreateTextSlot(0, canvas_.Dc(), l.width, l.height) != FALSE
                                ? SIZE{l.width, l.height}
                                : SIZE{0, 0};
        }
        TextLook look;
        look.family = UsesMeiryo(language_) ? kJapaneseCaptionFamily : kCaptionFamily;
        look.rightToLeft = IsRightToLeft(language_);
        look.fitWidth = static_cast<float>(l.width - 2 * l.captionInset);
        look.minimumSize = l.captionFloor;
        captionDrawn_ =
            DrawTextInRect(canvas_.Dc(), IndicatorWordsFor(language_).caption,
                           TextRect{0, l.captionTop, l.width, l.height + l.captionOverhang},
                           kCentredTop, l.captionSize, FALSE, look) != FALSE;
        // The text target draws like GDI, leaving alpha 0 under the glyphs;
        // the layered window needs premultiplied pixels to show them. This
        // also finishes GDI's batched drawing before the button below is
        // drawn into the same pixels. A caption that failed to draw is
        // simply missing; the glyph still shows.
        static_cast<void>(canvas_.CoverColourWithAlpha(l.captionTop, l.height));
        if (!frame.closeButton && captionDrawn_) {
            // The frame a show starts with, kept for the next shows at this
            // size; a caption that did not come out is tried again.
            canvas_.Keep();
        }
    }
    if (frame.closeButton) {
        Gdiplus::Bitmap* button = images_.Button(static_cast<int>(frame.button));
        if (button != nullptr) {
            Gdiplus::Graphics graphics(&surface);
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
            graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            graphics.DrawImage(button, l.ButtonLeft(), l.buttonTop, l.buttonSize, l.buttonSize);
        }
    }
    return true;
}

void CCameraOSDWnd::Compose(BYTE constantAlpha) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
    SIZE size{canvas_.Width(), canvas_.Height()};
    POINT source{0, 0};
    ::UpdateLayeredWindow(Handle(), nullptr, nullptr, &size, canvas_.Dc(), &source, 0, &blend,
                          ULW_ALPHA);
}

void CCameraOSDWnd::FreeBitmapAndImages() {
    canvas_.Reset();
    images_.Free();
}

void CCameraOSDWnd::ShowWithoutActivation() {
    ::ShowWindow(Handle(), SW_SHOWNA);  // answers the previous visibility
    announcer_.OnShown();
}

void CCameraOSDWnd::Hide() {
    ::ShowWindow(Handle(), SW_HIDE);
}

DWORD CCameraOSDWnd::TickCount() {
    return ::GetTickCount();
}

bool CCameraOSDWnd::IsLogonUIReady() {
    return indicator::IsLogonUIReady(version_) != FALSE;
}

bool CCameraOSDWnd::PostToSelf(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(Handle(), message, wParam, lParam) != FALSE;
}

bool CCameraOSDWnd::PointerOnScreen(POINT& point) {
    return ::GetCursorPos(&point) != FALSE;
}

bool CCameraOSDWnd::PrimaryButtonDown() {
    // The primary button is the right one for a left-handed setup.
    const int button = ::GetSystemMetrics(SM_SWAPBUTTON) != 0 ? VK_RBUTTON : VK_LBUTTON;
    return (::GetAsyncKeyState(button) & 0x8000) != 0;
}

bool CCameraOSDWnd::TrackMouseLeave() {
    return winframe::TrackPointerLeave(Handle());
}

bool CCameraOSDWnd::SetTimer(UINT_PTR id, UINT periodMs) {
    return ::SetTimer(Handle(), id, periodMs, nullptr) != 0;
}

bool CCameraOSDWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(Handle(), id) != FALSE;
}

bool CCameraOSDWnd::CursorOverWindow() {
    POINT cursor;
    if (!::GetCursorPos(&cursor)) {
        return true;
    }
    // The indicator's own tooltip, which it owns, counts as the indicator:
    // over it the pointer has not left.
    HWND under = ::WindowFromPoint(cursor);
    return under == Handle() || (under != nullptr && ::GetWindow(under, GW_OWNER) == Handle());
}

ScreenSize CCameraOSDWnd::PrimaryScreenSize() {
    return ScreenSize{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

bool CCameraOSDWnd::MoveTopmost(int x, int y, int width, int height) {
    // Never activated: placing the indicator must not take the keyboard
    // from the program the user is working in.
    return ::SetWindowPos(Handle(), HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE) != FALSE;
}

bool CCameraOSDWnd::WindowRect(RECT& rect) {
    return ::GetWindowRect(Handle(), &rect) != FALSE;
}

bool CCameraOSDWnd::IsVisible() {
    return ::IsWindowVisible(Handle()) != FALSE;
}

}  // namespace lensbeacon::indicator
