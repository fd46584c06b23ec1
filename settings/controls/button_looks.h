// The close button's looks (normal, hover, pressed) and its cross-fade from
// one to the next: the state machine of hover and pressed over the few
// drawing and timer calls it makes.
#pragma once

#include "controls/animation_port.h"

namespace lensbeacon::settings {

inline constexpr int kLookNormal = 0;
inline constexpr int kLookHover = 1;
inline constexpr int kLookPressed = 2;

// What the looks do to the button; its animation timer is the fade timer
// (id 1, 36 ms).
class ButtonLookPort : public AnimationPort {
  public:
    // Arms hover and leave notifications; the call's answer.
    virtual bool TrackMouse() = 0;
    // False when there is no picture to snapshot into; otherwise copies what
    // the button shows on screen into the from picture.
    virtual bool SnapshotScreen() = 0;
    // Display picture := look picture `look`.
    virtual void ShowLook(int look) = 0;
    // Display picture := from picture with look picture `look` blended over
    // it at constant alpha `alpha` and per-pixel alpha.
    virtual void BlendLook(int look, int alpha) = 0;
    virtual void Invalidate() = 0;

  protected:
    ~ButtonLookPort() = default;
};

// The look for the cursor and button state: pressed shows only with the
// cursor over the button.
int LookFor(bool hover, bool pressed) noexcept;

class ButtonLooks {
  public:
    static constexpr int kFadeSteps = 5;

    explicit ButtonLooks(ButtonLookPort& surface) noexcept : surface_(&surface) {}

    void OnLButtonDown();
    void OnLButtonUp();
    void OnMouseHover();
    void OnMouseLeave();
    // WM_MOUSEMOVE: `leftDown` from the key flags, `inside` whether the
    // cursor is in the client rectangle.
    void OnMouseMove(bool leftDown, bool inside);
    // Timer 1.
    void OnFadeTimer();

    // Recomputes the look and shows it, cross-faded when animated and visible.
    void ChangeLook();

    void SetBuilt(bool built) noexcept { built_ = built; }
    bool Built() const noexcept { return built_; }
    void SetAnimate(bool animate) noexcept { animate_ = animate; }
    bool Animate() const noexcept { return animate_; }
    bool Hover() const noexcept { return hover_; }
    bool Pressed() const noexcept { return pressed_; }
    bool Tracking() const noexcept { return tracking_; }
    bool Fading() const noexcept { return fading_; }
    int Step() const noexcept { return step_; }
    int Look() const noexcept { return look_; }

  private:
    void EndFade();

    ButtonLookPort* surface_;
    bool animate_ = true;
    bool built_ = false;
    bool hover_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
    int step_ = 1;
    bool fading_ = false;
    int look_ = kLookNormal;
};

}  // namespace lensbeacon::settings
