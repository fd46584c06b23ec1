#include "controls/wnd_shadow.h"

#include <map>
#include <new>

#include "drawing/drawing_resources.h"
#include "drawing/image_routines.h"
#include "drawing/image_set.h"

namespace lensbeacon::settings {

namespace {

// One entry per subclassed owner: its shadow (null once the shadow is gone
// while its procedure could not leave the owner's chain) and the procedure it
// replaced.
struct Hook {
    CWndShadow* shadow;
    WNDPROC previous;
};

HINSTANCE g_shadowInstance = nullptr;

std::map<HWND, Hook*>& Hooks() {
    static std::map<HWND, Hook*> hooks;
    return hooks;
}

WNDPROC CurrentProc(HWND window) noexcept {
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
}

}  // namespace

CWndShadow::CWndShadow() noexcept = default;

CWndShadow::~CWndShadow() {
    if (owner_ == nullptr) {
        return;
    }
    auto& hooks = Hooks();
    auto found = hooks.find(owner_);
    if (found != hooks.end() && found->second->shadow == this) {
        Hook* hook = found->second;
        if (::IsWindow(owner_) && CurrentProc(owner_) == &ShadowProc) {
            ::SetWindowLongPtrW(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook->previous));
            hooks.erase(found);
            delete hook;
        } else {
            // Still in the owner's chain (or the owner is on its way out):
            // the entry stays, passing messages on, until WM_NCDESTROY.
            hook->shadow = nullptr;
        }
    }
    DestroyStrips();
}

BOOL CWndShadow::Initialize(HINSTANCE instance) {
    g_shadowInstance = instance;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = kShadowWindowClass;
    ::RegisterClassExW(&windowClass);
    return TRUE;
}

CWndShadow* CWndShadow::FromOwner(HWND owner) noexcept {
    auto& hooks = Hooks();
    auto found = hooks.find(owner);
    return found == hooks.end() ? nullptr : found->second->shadow;
}

BOOL CWndShadow::CreateStrip(HWND owner, int index, const wchar_t* name) {
    if (index < 0 || index >= kShadowStripCount || owner == nullptr) {
        return FALSE;
    }
    Hook* hook = nullptr;
    if (index == 0) {
        if (owner_ != nullptr || Hooks().count(owner) != 0) {
            return FALSE;
        }
        hook = new (std::nothrow) Hook{this, nullptr};
        if (hook == nullptr) {
            return FALSE;
        }
        Hooks()[owner] = hook;
        owner_ = owner;
    }
    if (g_shadowInstance == nullptr) {
        Initialize(::GetModuleHandleW(nullptr));
    }
    Strip& strip = strips_[index];
    if (strip.window == nullptr) {
        strip.window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowWindowClass,
                                         nullptr, WS_POPUPWINDOW, CW_USEDEFAULT, 0, 0, 0, owner,
                                         nullptr, g_shadowInstance, nullptr);
    }
    LoadStripImage(strip, name);
    if (index == 0) {
        follower_.SetStatus(ShadowStatusFromStyle(::GetWindowLongW(owner, GWL_STYLE)));
    }
    if ((follower_.Status() & kShadowShown) != 0 && strip.window != nullptr) {
        ::ShowWindow(strip.window, SW_SHOWNA);
        UpdateStrip(index, owner);
    }
    if (index == 0) {
        const LONG_PTR previous =
            ::SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ShadowProc));
        hook->previous = reinterpret_cast<WNDPROC>(previous);
        if (previous == 0) {
            Hooks().erase(owner);
            delete hook;
        }
    }
    return strip.window != nullptr ? TRUE : FALSE;
}

void CWndShadow::LoadStripImage(Strip& strip, const wchar_t* name) {
    strip.image.reset();
    strip.width = 0;
    strip.height = 0;
    IWICImagingFactory* factory = DrawingResources().wicFactory.Get();
    if (factory == nullptr) {
        return;
    }
    Microsoft::WRL::ComPtr<IWICFormatConverter> converter;
    if (FAILED(LoadImageResource(name, scale_, kLoadScaled, &converter))) {
        return;
    }
    Microsoft::WRL::ComPtr<IWICBitmap> bitmap;
    if (FAILED(factory->CreateBitmapFromSource(converter.Get(), WICBitmapCacheOnLoad, &bitmap))) {
        return;
    }
    converter.Reset();
    UINT width = 0;
    UINT height = 0;
    if (FAILED(bitmap->GetSize(&width, &height))) {
        return;
    }
    MemoryDc image = BitmapToMemoryDC(bitmap.Get());
    if (!image) {
        return;
    }
    strip.image = std::move(image);
    strip.width = static_cast<int>(width);
    strip.height = static_cast<int>(height);
}

BOOL CWndShadow::AttachToOwner(HWND owner) {
    static constexpr const wchar_t* kNames[kShadowStripCount] = {
        kImageShadowLeft, kImageShadowRight, kImageShadowTop, kImageShadowBottom};
    for (int i = 0; i < kShadowStripCount; ++i) {
        if (!CreateStrip(owner, i, kNames[i]) && i == 0 && owner_ != owner) {
            return FALSE;
        }
        SetPlacement(i, StripPlacementFor(i, strips_[kStripLeft].width, strips_[kStripTop].height));
        if ((follower_.Status() & kShadowShown) != 0) {
            UpdateStrip(i, owner);
        }
    }
    return TRUE;
}

void CWndShadow::SetPlacement(int index, const StripPlacement& placement) noexcept {
    if (index >= 0 && index < kShadowStripCount) {
        strips_[index].placement = placement;
    }
}

std::optional<POINT> CWndShadow::StripPosition(HWND owner, int index) const {
    if (index < 0 || index >= kShadowStripCount) {
        return std::nullopt;
    }
    RECT rect{};
    if (!::GetWindowRect(owner, &rect)) {
        return std::nullopt;
    }
    return StripPositionFrom(rect, strips_[index].placement);
}

void CWndShadow::PushImage(int index, HDC screen, POINT position) {
    Strip& strip = strips_[index];
    if (strip.window == nullptr || !strip.image) {
        return;
    }
    SIZE size{strip.width, strip.height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha_, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(strip.window, screen, &position, &size, strip.image.get(), &source, 0,
                          &blend, ULW_ALPHA);
}

void CWndShadow::UpdateStrip(int index, HWND owner) {
    if (index < 0 || index >= kShadowStripCount) {
        return;
    }
    const std::optional<POINT> position = StripPosition(owner, index);
    if (!position) {
        return;
    }
    Strip& strip = strips_[index];
    if (strip.window != nullptr) {
        ::MoveWindow(strip.window, position->x, position->y, strip.width, strip.height, FALSE);
    }
    WindowDc screen(nullptr);
    PushImage(index, screen.get(), *position);
}

void CWndShadow::SetAlpha(BYTE alpha, HWND owner) {
    alpha_ = alpha;
    WindowDc screen(nullptr);
    for (int i = 0; i < kShadowStripCount; ++i) {
        if (const std::optional<POINT> position = StripPosition(owner, i)) {
            PushImage(i, screen.get(), *position);
        }
    }
}

void CWndShadow::ShowStrips() {
    for (Strip& strip : strips_) {
        if (strip.window != nullptr) {
            ::ShowWindow(strip.window, SW_SHOWNA);
        }
    }
}

void CWndShadow::HideStrips() {
    for (Strip& strip : strips_) {
        if (strip.window != nullptr) {
            ::ShowWindow(strip.window, SW_HIDE);
        }
    }
}

void CWndShadow::UpdateStrips() {
    for (int i = 0; i < kShadowStripCount; ++i) {
        UpdateStrip(i, owner_);
    }
}

void CWndShadow::MoveStrips() {
    for (int i = 0; i < kShadowStripCount; ++i) {
        if (strips_[i].window == nullptr) {
            continue;
        }
        if (const std::optional<POINT> position = StripPosition(owner_, i)) {
            // A move keeps the strips where they are in the z-order, just
            // under their owner; without SWP_NOZORDER the null insert-after
            // would raise them to the top, over the dialog.
            ::SetWindowPos(strips_[i].window, nullptr, position->x, position->y, 0, 0,
                           SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
}

void CWndShadow::DestroyStrips() {
    for (Strip& strip : strips_) {
        if (strip.window != nullptr) {
            ::DestroyWindow(strip.window);
            strip.window = nullptr;
        }
    }
}

LRESULT CALLBACK CWndShadow::ShadowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& hooks = Hooks();
    auto found = hooks.find(window);
    if (found == hooks.end()) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    Hook* hook = found->second;
    const WNDPROC previous = hook->previous;
    if (hook->shadow != nullptr) {
        hook->shadow->follower_.OnOwnerMessage(message, wParam, lParam, *hook->shadow);
    }
    if (message == WM_NCDESTROY) {
        if (hook->shadow != nullptr) {
            hook->shadow->owner_ = nullptr;
        }
        hooks.erase(found);
        delete hook;
        // Out of the chain before the procedures below see the message, so
        // one that restores its own predecessor finds itself in place.
        if (CurrentProc(window) == &ShadowProc) {
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        }
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

}  // namespace lensbeacon::settings
