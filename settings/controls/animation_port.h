// What the logic of an animated control asks of its window: whether the
// window shows, and the one timer its animation runs on. The close button's
// looks and the switch extend it with their own drawing calls.
#pragma once

namespace lensbeacon::settings {

class AnimationPort {
  public:
    virtual bool IsVisible() = 0;
    // Start answers false when the timer could not be set.
    virtual bool StartAnimationTimer() = 0;
    virtual void StopAnimationTimer() = 0;

  protected:
    ~AnimationPort() = default;
};

}  // namespace lensbeacon::settings
