// A drawn control whose logic reaches its window through `Surface`, an
// AnimationSurface: the animated-control base answers the surface's
// visibility and timer calls, so each control implements only its drawing.
#pragma once

#include <windows.h>

#include <type_traits>

#include "controls/animation_surface.h"
#include "winframe/animated_control.h"

namespace lensbeacon::settings {

template <typename Base, typename Surface>
class SurfaceControl : public winframe::AnimatedControl<Base>, protected Surface {
    static_assert(std::is_base_of_v<AnimationSurface, Surface>);

  protected:
    SurfaceControl(UINT_PTR timerId, UINT periodMs) noexcept
        : winframe::AnimatedControl<Base>(timerId, periodMs) {}

  private:
    bool IsVisible() final { return this->IsShown(); }
    bool StartAnimationTimer() final { return this->StartTimer(); }
    void StopAnimationTimer() final { this->StopTimer(); }
};

}  // namespace lensbeacon::settings
