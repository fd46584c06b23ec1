// The settings dialog's fade-in and fade-out: the window's layered alpha (and
// its shadow's) stepped on a 30 ms timer, the window disabled while it runs.
#pragma once

#include <windows.h>

namespace lensbeacon::settings {

class CWndShadow;

// The window calls a fade makes, so that the sequence can be followed
// without a window.
class FadeWindowPort {
  public:
    virtual BOOL IsWindowEnabled(HWND window) = 0;
    virtual void EnableWindow(HWND window, BOOL enable) = 0;
    virtual LONG GetExStyle(HWND window) = 0;
    virtual void SetExStyle(HWND window, LONG exStyle) = 0;
    virtual UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT period) = 0;
    virtual void KillTimer(HWND window, UINT_PTR id) = 0;
    virtual void SetLayeredAlpha(HWND window, BYTE alpha) = 0;
    virtual void PostMessage(HWND window, UINT message) = 0;

  protected:
    ~FadeWindowPort() = default;
};

// Receives the alpha each step gives the window (the shadow strips).
class FadeFollowerPort {
  public:
    virtual void SetAlpha(BYTE alpha, HWND window) = 0;

  protected:
    ~FadeFollowerPort() = default;
};

// The calls of FadeWindowPort on the real window (fade_window_win32.cpp, in
// settings_win32).
FadeWindowPort& SystemFadeWindowPort() noexcept;

class CFadeDialogEffect {
  public:
    static constexpr UINT_PTR kFadeOutTimer = 66;
    static constexpr UINT_PTR kFadeInTimer = 67;
    static constexpr UINT kTimerPeriod = 30;
    // Posted to the window when a fade-out has shown its last step.
    static constexpr UINT kFadeOutEndMessage = WM_USER + 402;
    static constexpr int kSteps = 5;

    explicit CFadeDialogEffect(FadeWindowPort& api) noexcept : api_(&api) {}
    virtual ~CFadeDialogEffect() = default;
    CFadeDialogEffect(const CFadeDialogEffect&) = delete;
    CFadeDialogEffect& operator=(const CFadeDialogEffect&) = delete;

    // Starts a fade-in (alpha 51 now, then 102, 153, 204 and opaque on the
    // ticks of timer 67). Nothing happens while the window is disabled, so a
    // fade never starts over a running one. When the timer cannot be set,
    // the window is made opaque and enabled at once rather than left
    // half-transparent and disabled.
    void FadeIn(HWND window, CWndShadow* shadow);
    void FadeIn(HWND window, FadeFollowerPort* follower);

    // Starts a fade-out (204 now, then 153, 102, 51, and the end message on
    // the ticks of timer 66). 0 and nothing done while the window is
    // disabled. When the timer cannot be set the end message is posted at
    // once, so the window still closes, and the answer is 0.
    BOOL FadeOut(HWND window, CWndShadow* shadow);
    BOOL FadeOut(HWND window, FadeFollowerPort* follower);

    // Timer 67 and timer 66. A tick of a fade that is not running (a late
    // tick after its end) changes nothing.
    void FadeInStep();
    void FadeOutStep();

    int Step() const noexcept { return step_; }
    bool FadingIn() const noexcept { return phase_ == Phase::kFadingIn; }
    bool FadingOut() const noexcept { return phase_ == Phase::kFadingOut; }

  private:
    enum class Phase { kIdle, kFadingIn, kFadingOut };

    bool Begin(HWND window, FadeFollowerPort* follower, UINT endMessage);
    void ApplyAlpha(int alpha);
    void FinishFadeIn();

    FadeWindowPort* api_;
    UINT endMessage_ = 0;
    HWND window_ = nullptr;
    int step_ = 0;
    FadeFollowerPort* follower_ = nullptr;
    Phase phase_ = Phase::kIdle;
};

}  // namespace lensbeacon::settings
