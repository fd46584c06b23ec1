// The switch's drawing over its surface: what a redraw composes and shows,
// and the 250 ms cross-fade of the track from one look to the next.
#include "controls/selector_core.h"

#include <algorithm>

namespace lensbeacon::settings {

void SelectorCore::Redraw(bool moved) {
    const bool visible = surface_->IsVisible();
    surface_->StopAnimationTimer();
    if (visible) {
        AdvanceFade();
        if (animating_ && !surface_->StartAnimationTimer()) {
            // Without a timer the fade could never finish: show the look now.
            EndFade();
        }
    } else {
        // Nothing is seen fading: the look changes at once.
        EndFade();
    }
    ComposeTrack(moved, visible && fadePictures_ && fadeFrom_ != fadeTo_);
    ComposeKnob();
    if (moved) {
        target_ = NearestPosition();
    }
    if (animating_) {
        ShowAll();
    } else {
        ShowKnob(moved);
    }
}

void SelectorCore::AdvanceFade() {
    animating_ = false;
    if (!fadePictures_) {
        return;
    }
    const int state = trackState_;
    const DWORD now = surface_->Now();
    surface_->LoadFadeTarget(state);
    if (fadeFrom_ == fadeTo_) {
        if (state == fadeTo_) {
            fadeAlpha_ = 255;
        } else {
            surface_->KeepShownTrack();
        }
    } else {
        surface_->KeepShownTrack();
        if (state == fadeTo_) {
            fadeAlpha_ = FadeAlphaAt(now);
            if (fadeAlpha_ >= 255) {
                fadeFrom_ = fadeTo_;
            } else {
                animating_ = true;
            }
        }
    }
    if (state != fadeTo_) {
        // A change during a running fade restarts from the picture on screen.
        fadeFrom_ = fadeTo_;
        fadeTo_ = state;
        fadeAlpha_ = kFadeStartAlpha;
        fadeStart_ = now - static_cast<DWORD>(kFadeStartAlpha);
        animating_ = true;
    }
}

void SelectorCore::EndFade() noexcept {
    animating_ = false;
    fadeFrom_ = fadeTo_ = trackState_;
    fadeAlpha_ = 255;
}

int SelectorCore::FadeAlphaAt(DWORD now) const noexcept {
    // Unsigned difference: correct across the tick count's wrap, and capped
    // before the multiplication so that a late tick cannot overflow it.
    const DWORD elapsed = now - fadeStart_;
    if (elapsed >= kFadeDuration) {
        return 255;
    }
    return static_cast<int>(elapsed * 255u / kFadeDuration);
}

void SelectorCore::OnAnimationTimer() {
    if (!created_) {
        surface_->StopAnimationTimer();
        return;
    }
    if (animating_) {
        const int alpha = FadeAlphaAt(surface_->Now());
        if (alpha >= 255) {
            animating_ = false;
            fadeAlpha_ = 255;
            ComposeTrack(false, true);
            fadeFrom_ = fadeTo_;
        } else if (alpha - fadeAlpha_ >= kFadeRedrawStep) {
            fadeAlpha_ = alpha;
            ComposeTrack(false, true);
        }
    } else {
        ComposeTrack(false, false);
    }
    ComposeKnob();
    if (!animating_) {
        surface_->StopAnimationTimer();
    }
    ShowAll();
}

void SelectorCore::ComposeTrack(bool refreshBackground, bool blend) {
    TrackDrawing drawing;
    drawing.refreshBackground = refreshBackground;
    drawing.split = knobOffset_ + dragOffset_;
    drawing.state = trackState_;
    drawing.blend = blend;
    drawing.alpha = fadeAlpha_;
    surface_->DrawTrack(drawing);
}

void SelectorCore::ComposeKnob() {
    surface_->DrawKnob(KnobX(), knobY_);
    previousKnobX_ = lastKnobX_;
}

void SelectorCore::ShowKnob(bool moved) {
    const int x = KnobX();
    int left = x;
    int right = x + layout_.knobWidth;
    if (moved) {
        // The band the knob swept: where it was last shown and where it is.
        left = std::min(previousKnobX_, x);
        right = std::max(previousKnobX_, x) + layout_.knobWidth;
    }
    surface_->Show(RECT{left, knobY_, right, knobY_ + layout_.knobHeight});
    lastKnobX_ = x;
}

void SelectorCore::ShowAll() {
    surface_->Show(RECT{0, 0, layout_.width, layout_.height});
    lastKnobX_ = KnobX();
}

}  // namespace lensbeacon::settings
