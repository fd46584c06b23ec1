// A drawn control whose logic reaches its window through `Port`, an
// AnimationPort: the animated-control base answers the port's visibility
// and timer calls, so each control implements only its drawing.
#pragma once

#include <windows.h>

#include <type_traits>

#include "controls/animation_port.h"
#include "winframe/animated_control.h"

namespace lensbeacon::settings {

template <typename Base, typename Port>
class AnimatedPortControl : public winframe::AnimatedControl<Base>, protected Port {
    static_assert(std::is_base_of_v<AnimationPort, Port>);

  protected:
    AnimatedPortControl(UINT_PTR timerId, UINT periodMs) noexcept
        : winframe::AnimatedControl<Base>(timerId, periodMs) {}

  private:
    bool IsVisible() final { return this->IsShown(); }
    bool StartAnimationTimer() final { return this->StartTimer(); }
    void StopAnimationTimer() final { this->StopTimer(); }
};

}  // namespace lensbeacon::settings
