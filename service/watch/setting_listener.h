// The setting listener: the thread that follows the user's switch (Setting
// Change pulses) and the organisation's policy key while the watch runs,
// sharing the watch's state with the worker (watch_state.h).
#pragma once

#include <windows.h>

#include "watch_state.h"
#include "watch_system.h"

namespace lensbeacon {

class SettingListener {
  public:
    SettingListener(WatchState& state, WatchSystem& system) : state_(state), system_(system) {}

    // The listener thread's whole run, until the stop.
    void Run();

    // One Setting Change pulse: follows Setting Enable into the switch, or,
    // while the policy holds the switch, puts Setting Enable back.
    void OnSettingChange();

    // The policy key changed: a "ShowOSD" that appeared, changed or went
    // takes effect at once.
    void OnPolicyChange();

  private:
    // The switch takes a new value: on asks for a new look, off hides a
    // visible indicator at once. False when it already had that value.
    bool TurnSwitch(bool on);

    WatchState& state_;
    WatchSystem& system_;
};

// Sets or resets Setting Enable, if it exists, to show the switch.
void MatchSettingEnable(WatchState& state, bool on);

}  // namespace lensbeacon
