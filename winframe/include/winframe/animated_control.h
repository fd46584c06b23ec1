// The base of a control that draws itself and animates: it owns the one
// timer the animation runs on, answers whether the control is visible,
// answers WM_GETOBJECT with the control's accessible description, and at
// WM_DESTROY stops the timer and lets the control drop what it holds on to
// the window. `Base` is the skeleton class the control is (Window, or
// SubclassedButton for a button of a dialog template).
#pragma once

#include <windows.h>

#include "winframe/accessible.h"
#include "winframe/window.h"

namespace lensbeacon::winframe {

template <typename Base>
class AnimatedControl : public Base, private AccessiblePort {
  public:
    // A timer that still runs when the object goes (a subclassed window that
    // lives on) is stopped.
    ~AnimatedControl() override { StopTimer(); }

  protected:
    // The animation's timer id and period; id 0 for a control that does not
    // animate (the timer calls are then skipped).
    AnimatedControl(UINT_PTR timerId, UINT periodMs) noexcept
        : timerId_(timerId), periodMs_(periodMs) {}

    bool IsShown() const noexcept {
        return this->Handle() != nullptr && ::IsWindowVisible(this->Handle()) != FALSE;
    }
    // False when the timer could not be set.
    bool StartTimer() noexcept {
        return timerId_ != 0 && this->Handle() != nullptr &&
               ::SetTimer(this->Handle(), timerId_, periodMs_, nullptr) != 0;
    }
    void StopTimer() noexcept {
        if (timerId_ != 0 && this->Handle() != nullptr) {
            ::KillTimer(this->Handle(), timerId_);
        }
    }

    // The control's own messages, after the base's part; the default passes
    // them on to the window procedure the control replaced.
    virtual LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return this->DefaultProc(message, wParam, lParam);
    }
    // A tick of the animation's timer; the message goes on to ControlProc.
    virtual void OnAnimationTick() {}
    // WM_DESTROY, once the timer is stopped: drop the window DC and whatever
    // else only lives with the window. The message goes on to ControlProc.
    virtual void OnControlDestroy() {}

    // What screen readers are told; the default action (none by default).
    AccessibleDescription Describe() override = 0;
    bool DoDefaultAction() override { return false; }

  private:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) final {
        switch (message) {
            case WM_GETOBJECT: {
                LRESULT result = 0;
                if (accessible_.AnswerGetObject(this->Handle(), wParam, lParam, result)) {
                    return result;
                }
                break;
            }
            case WM_TIMER:
                if (timerId_ != 0 && wParam == timerId_) {
                    OnAnimationTick();
                }
                break;
            case WM_DESTROY:
                StopTimer();
                OnControlDestroy();
                break;
            default:
                break;
        }
        return ControlProc(message, wParam, lParam);
    }

    UINT_PTR timerId_;
    UINT periodMs_;
    Accessible accessible_{*this};
};

}  // namespace lensbeacon::winframe
