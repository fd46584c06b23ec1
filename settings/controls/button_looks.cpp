#include "controls/button_looks.h"

namespace lensbeacon::settings {

int LookFor(bool hover, bool pressed) noexcept {
    if (!hover) {
        return kLookNormal;
    }
    return pressed ? kLookPressed : kLookHover;
}

void ButtonLooks::OnLButtonDown() {
    if (!pressed_) {
        pressed_ = true;
        ChangeLook();
    }
}

void ButtonLooks::OnLButtonUp() {
    if (pressed_) {
        pressed_ = false;
        ChangeLook();
    }
}

void ButtonLooks::OnMouseHover() {
    if (!hover_) {
        hover_ = true;
        ChangeLook();
    }
}

void ButtonLooks::OnMouseLeave() {
    tracking_ = false;
    if (hover_) {
        hover_ = false;
        ChangeLook();
    }
}

void ButtonLooks::OnMouseMove(bool leftDown, bool inside) {
    bool changed = false;
    if (!tracking_) {
        tracking_ = surface_->TrackMouse();
        // The button may have been pressed or released while the cursor was
        // elsewhere; the key flags tell.
        if (leftDown != pressed_) {
            pressed_ = leftDown;
            changed = true;
        }
    }
    if (!inside && hover_) {
        hover_ = false;
        ChangeLook();
        return;
    }
    if (inside && !hover_) {
        hover_ = true;
        ChangeLook();
        return;
    }
    if (changed) {
        ChangeLook();
    }
}

void ButtonLooks::ChangeLook() {
    if (fading_) {
        surface_->StopAnimationTimer();
        fading_ = false;
    }
    look_ = LookFor(hover_, pressed_);
    if (!built_) {
        return;
    }
    if (!animate_ || !surface_->IsVisible()) {
        surface_->ShowLook(look_);
        surface_->Invalidate();
        return;
    }
    if (!surface_->SnapshotScreen()) {
        return;
    }
    step_ = 1;
    surface_->BlendLook(look_, step_ * 255 / kFadeSteps);
    step_ = 2;
    if (surface_->StartAnimationTimer()) {
        fading_ = true;
    } else {
        // Without a timer the fade could never finish: show the look now.
        surface_->ShowLook(look_);
    }
    surface_->Invalidate();
}

void ButtonLooks::OnFadeTimer() {
    if (step_ != kFadeSteps && animate_ && surface_->IsVisible()) {
        surface_->BlendLook(look_, step_ * 255 / kFadeSteps);
        ++step_;
        surface_->Invalidate();
        return;
    }
    EndFade();
}

void ButtonLooks::EndFade() {
    surface_->StopAnimationTimer();
    fading_ = false;
    surface_->ShowLook(look_);
    surface_->Invalidate();
}

}  // namespace lensbeacon::settings
