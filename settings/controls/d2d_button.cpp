#include "controls/d2d_button.h"

#include <d2d1.h>

#include <optional>

#include "drawing/drawing_resources.h"
#include "drawing/image_routines.h"
#include "drawing/image_set.h"
#include "drawing/picture_target.h"
#include "winframe/pointer_leave.h"

namespace lensbeacon::settings {

using Microsoft::WRL::ComPtr;

CD2DButton::CD2DButton() noexcept : AnimatedPortControl(kFadeTimer, kFadePeriod), looks_(*this) {}

CD2DButton::~CD2DButton() {
    ReleaseImages();
}

HDC CD2DButton::LookPicture(int look) const noexcept {
    return look >= 0 && look < 3 ? lookPictures_[look].get() : nullptr;
}

BOOL CD2DButton::AttachToDialog(HWND dialog, int id) {
    if (!SubclassDlgItem(dialog, id)) {
        return FALSE;
    }
    // The button draws itself: the owner-drawn type replaces the push type.
    const auto style = static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_STYLE));
    const DWORD ownerDrawn = (style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
    ::SetWindowLongW(Handle(), GWL_STYLE, static_cast<LONG>(ownerDrawn));
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

int CD2DButton::InitImages(IWICBitmap* background, float scale) {
    if (!drawingUser_ && Handle() != nullptr) {
        drawingUser_.emplace(Handle());
    }
    background_ = background;
    static constexpr const wchar_t* kNames[3] = {kImageCloseNormal, kImageCloseNormal,
                                                 kImageCloseDown};
    for (int i = 0; i < 3; ++i) {
        ComPtr<IWICFormatConverter> converter;
        images_[i].Reset();
        if (SUCCEEDED(LoadImageResource(kNames[i], 0.0f, kLoadNatural, &converter))) {
            images_[i] = converter;
        }
    }
    UINT width = 0;
    UINT height = 0;
    if (!images_[0] || FAILED(images_[0]->GetSize(&width, &height))) {
        images_[0].Reset();
        return 0;
    }
    width_ = static_cast<int>(static_cast<float>(width) * scale + 0.5f);
    height_ = static_cast<int>(static_cast<float>(height) * scale + 0.5f);
    return 1;
}

void CD2DButton::ReleaseImages() {
    for (auto& image : images_) {
        image.Reset();
    }
    background_ = nullptr;
    drawingUser_.reset();
}

void CD2DButton::ComposeLooks() {
    if (looks_.Built() || !images_[0] || Handle() == nullptr) {
        return;
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    // Where the button lies on its parent's background.
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    POINT corner{window.left, window.top};
    ::ScreenToClient(::GetParent(Handle()), &corner);
    // Either picture may stay missing: without the from picture a change of
    // look shows at once, without the display picture nothing is painted.
    if (!from_) {
        from_ = CreateMemoryDC(width, height);
    }
    if (!display_) {
        display_ = CreateMemoryDC(width, height);
    }
    ComposeWithDirect2D(width, height, corner.x, corner.y);
    ShowLook(looks_.Look());
    ReleaseImages();
    looks_.SetBuilt(true);
}

void CD2DButton::ComposeWithDirect2D(int width, int height, LONG left, LONG top) {
    if (width <= 0 || height <= 0) {
        return;
    }
    // Each look is drawn into a picture of its own through the shared DC
    // render target; the bitmaps made from the images serve all three.
    PictureTarget first(width, height);
    ID2D1RenderTarget* renderTarget = first.Target();
    if (renderTarget == nullptr) {
        return;
    }
    ComPtr<ID2D1Bitmap> background;
    if (background_ != nullptr) {
        // Tested through the pointer: without it the looks have no background.
        static_cast<void>(
            renderTarget->CreateBitmapFromWicBitmap(background_, nullptr, &background));
    }
    ComPtr<ID2D1Bitmap> normal;
    // Tested through the pointer: a look without its bitmap shows the background.
    static_cast<void>(renderTarget->CreateBitmapFromWicBitmap(images_[0].Get(), nullptr, &normal));
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    const D2D1_RECT_F destination = D2D1::RectF(0.0f, 0.0f, w, h);
    const auto x = static_cast<float>(left);
    const auto y = static_cast<float>(top);
    const D2D1_RECT_F under = D2D1::RectF(x, y, x + w, y + h);
    for (int look = 0; look < 3; ++look) {
        // The first look's picture is bound already; the others bind anew.
        std::optional<PictureTarget> other;
        if (look != 0) {
            other.emplace(width, height);
        }
        PictureTarget& picture = other ? *other : first;
        lookPictures_[look].reset();
        if (picture.Failed()) {
            continue;  // a look that could not be drawn stays empty and shows black
        }
        renderTarget->BeginDraw();
        renderTarget->Clear(D2D1::ColorF(0.0f, 0.0f, 0.0f, 0.0f));
        if (background) {
            renderTarget->DrawBitmap(background.Get(), &destination, 1.0f,
                                     D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, &under);
        }
        ComPtr<ID2D1Bitmap> image = normal;
        if (look != 0) {
            image.Reset();
            if (images_[look]) {
                static_cast<void>(
                    renderTarget->CreateBitmapFromWicBitmap(images_[look].Get(), nullptr, &image));
            }
        }
        if (image) {
            const D2D1_SIZE_F size = image->GetSize();
            const D2D1_RECT_F source = D2D1::RectF(0.0f, 0.0f, size.width, size.height);
            renderTarget->DrawBitmap(image.Get(), &destination, 1.0f,
                                     D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, &source);
        }
        // Not examined: what was drawn is kept as it is.
        static_cast<void>(renderTarget->EndDraw());
        lookPictures_[look] = picture.TakePicture();
    }
}

BOOL CD2DButton::DrawItem(const DRAWITEMSTRUCT& item) {
    ComposeLooks();
    if (display_) {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::BitBlt(item.hDC, 0, 0, client.right - client.left, client.bottom - client.top,
                 display_.get(), 0, 0, SRCCOPY);
    }
    // Every look is drawn whole here, so the inverted ring is drawn once.
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT ring = item.rcItem;
        ::InflateRect(&ring, -2, -2);
        ::DrawFocusRect(item.hDC, &ring);
    }
    return TRUE;
}

winframe::AccessibleDescription CD2DButton::Describe() {
    winframe::AccessibleDescription description;
    description.name = L"Close";
    description.role = ROLE_SYSTEM_PUSHBUTTON;
    description.state = STATE_SYSTEM_FOCUSABLE;
    description.defaultAction = L"Press";
    return description;
}

bool CD2DButton::DoDefaultAction() {
    // Posted: the screen reader's call returns before the dialog fades out.
    return Handle() != nullptr && ::PostMessageW(Handle(), BM_CLICK, 0, 0) != FALSE;
}

BOOL CD2DButton::OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_CTLCOLORBTN) {
        ComposeLooks();
        return FALSE;  // no brush of its own: the parent's answer stands
    }
    return SubclassedButton::OnReflectedMessage(message, wParam, lParam, result);
}

void CD2DButton::OnAnimationTick() {
    looks_.OnFadeTimer();
}

LRESULT CD2DButton::ControlProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_MOUSEMOVE: {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            ::ScreenToClient(Handle(), &cursor);
            RECT client{};
            ::GetClientRect(Handle(), &client);
            const bool inside = cursor.x >= 0 && cursor.x < client.right && cursor.y >= 0 &&
                                cursor.y < client.bottom;
            looks_.OnMouseMove((wParam & MK_LBUTTON) != 0, inside);
            break;
        }
        case WM_LBUTTONDBLCLK:
            // A fast second click is a click: the system button sees a press.
            looks_.OnLButtonDown();
            return DefaultProc(WM_LBUTTONDOWN, wParam, lParam);
        case WM_LBUTTONDOWN:
            looks_.OnLButtonDown();
            break;
        case WM_LBUTTONUP:
            looks_.OnLButtonUp();
            break;
        case WM_MOUSEHOVER:
            looks_.OnMouseHover();
            return 0;
        case WM_MOUSELEAVE:
            looks_.OnMouseLeave();
            return 0;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool CD2DButton::TrackMouse() {
    // Hover after 1 ms: the look changes as soon as the cursor is on it.
    return winframe::TrackPointer(Handle(), TME_HOVER | TME_LEAVE, 1);
}

bool CD2DButton::SnapshotScreen() {
    if (!from_) {
        return false;
    }
    WindowDc screen(Handle());
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::BitBlt(from_.get(), 0, 0, client.right, client.bottom, screen.get(), 0, 0, SRCCOPY);
    return true;
}

void CD2DButton::ShowLook(int look) {
    if (!display_) {
        return;
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    HDC picture = LookPicture(look);
    if (picture != nullptr) {
        ::BitBlt(display_.get(), 0, 0, client.right, client.bottom, picture, 0, 0, SRCCOPY);
    } else {
        // A look that could not be composed is black.
        ::PatBlt(display_.get(), 0, 0, client.right, client.bottom, BLACKNESS);
    }
}

void CD2DButton::BlendLook(int look, int alpha) {
    if (!display_ || !from_) {
        return;
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    HDC picture = LookPicture(look);
    if (picture == nullptr) {
        ShowLook(look);
        return;
    }
    BlendOverlay(from_.get(), static_cast<BYTE>(alpha), client.bottom, client.right, display_.get(),
                 picture);
}

void CD2DButton::Invalidate() {
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

}  // namespace lensbeacon::settings
