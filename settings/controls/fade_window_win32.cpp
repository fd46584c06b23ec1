// The window calls of the settings dialog's fade: enabling, the layered
// style and alpha, the fade timers and the closing message.
#include "controls/fade_effect.h"

namespace lensbeacon::settings {
namespace {

class Win32FadeWindowPort final : public FadeWindowPort {
  public:
    BOOL IsWindowEnabled(HWND window) override { return ::IsWindowEnabled(window); }
    void EnableWindow(HWND window, BOOL enable) override { ::EnableWindow(window, enable); }
    LONG GetExStyle(HWND window) override { return ::GetWindowLongW(window, GWL_EXSTYLE); }
    void SetExStyle(HWND window, LONG exStyle) override {
        ::SetWindowLongW(window, GWL_EXSTYLE, exStyle);
    }
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT period) override {
        return ::SetTimer(window, id, period, nullptr);
    }
    void KillTimer(HWND window, UINT_PTR id) override { ::KillTimer(window, id); }
    void SetLayeredAlpha(HWND window, BYTE alpha) override {
        ::SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
    }
    void PostMessage(HWND window, UINT message) override { ::PostMessageW(window, message, 0, 0); }
};

}  // namespace

FadeWindowPort& SystemFadeWindowPort() noexcept {
    static Win32FadeWindowPort api;
    return api;
}

}  // namespace lensbeacon::settings
