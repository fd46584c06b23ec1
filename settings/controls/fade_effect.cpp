#include "controls/fade_effect.h"

#include "controls/wnd_shadow.h"

namespace lensbeacon::settings {
namespace {

constexpr LONG kLayered = WS_EX_LAYERED;

}  // namespace

bool CFadeDialogEffect::Begin(HWND window, FadeFollowerPort* follower, UINT endMessage) {
    if (!api_->IsWindowEnabled(window)) {
        return false;
    }
    endMessage_ = endMessage;
    window_ = window;
    follower_ = follower;
    api_->EnableWindow(window, FALSE);
    api_->SetExStyle(window, api_->GetExStyle(window) | kLayered);
    return true;
}

void CFadeDialogEffect::FadeIn(HWND window, CWndShadow* shadow) {
    FadeIn(window, static_cast<FadeFollowerPort*>(shadow));
}

void CFadeDialogEffect::FadeIn(HWND window, FadeFollowerPort* follower) {
    if (!Begin(window, follower, 0)) {
        return;
    }
    phase_ = Phase::kFadingIn;
    step_ = 1;
    ApplyAlpha(step_ * 255 / kSteps);
    step_ = 2;
    if (api_->SetTimer(window, kFadeInTimer, kTimerPeriod) == 0) {
        // Without a timer the steps cannot run: leave the dialog and its
        // shadow as a finished fade-in leaves them, not at the first alpha.
        step_ = kSteps;
        ApplyAlpha((kSteps - 1) * 255 / kSteps);
        FinishFadeIn();
    }
}

BOOL CFadeDialogEffect::FadeOut(HWND window, CWndShadow* shadow) {
    return FadeOut(window, static_cast<FadeFollowerPort*>(shadow));
}

BOOL CFadeDialogEffect::FadeOut(HWND window, FadeFollowerPort* follower) {
    if (!Begin(window, follower, kFadeOutEndMessage)) {
        return FALSE;
    }
    phase_ = Phase::kFadingOut;
    step_ = 4;
    ApplyAlpha(step_ * 255 / kSteps);
    step_ = 3;
    if (api_->SetTimer(window, kFadeOutTimer, kTimerPeriod) == 0) {
        phase_ = Phase::kIdle;
        api_->PostMessage(window_, endMessage_);
        return FALSE;
    }
    return TRUE;
}

void CFadeDialogEffect::FadeInStep() {
    if (phase_ != Phase::kFadingIn) {
        return;
    }
    if (step_ == kSteps) {
        api_->KillTimer(window_, kFadeInTimer);
        FinishFadeIn();
        return;
    }
    ApplyAlpha(step_ * 255 / kSteps);
    ++step_;
}

void CFadeDialogEffect::FadeOutStep() {
    if (phase_ != Phase::kFadingOut) {
        return;
    }
    if (step_ != 0) {
        ApplyAlpha(step_ * 255 / kSteps);
        --step_;
        return;
    }
    api_->KillTimer(window_, kFadeOutTimer);
    phase_ = Phase::kIdle;
    api_->PostMessage(window_, endMessage_);
}

void CFadeDialogEffect::FinishFadeIn() {
    phase_ = Phase::kIdle;
    api_->SetExStyle(window_, api_->GetExStyle(window_) & ~kLayered);
    api_->EnableWindow(window_, TRUE);
}

void CFadeDialogEffect::ApplyAlpha(int alpha) {
    const auto value = static_cast<BYTE>(alpha);
    api_->SetLayeredAlpha(window_, value);
    if (follower_ != nullptr) {
        follower_->SetAlpha(value, window_);
    }
}

}  // namespace lensbeacon::settings
