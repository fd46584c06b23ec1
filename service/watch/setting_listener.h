// The setting listener: the thread that follows the user's switch (Setting
// Change pulses) and the organisation's policy key while the watch runs,
// sharing the switch's state with the worker (watch_state.h, watch_worker.h).
//
// Group Policy applies its registry policy again at every refresh by
// deleting it, then writing it: a change of the policy key takes effect only
// once the key has been quiet for a while, so a refresh that writes back what
// was there changes nothing. A policy watch that cannot be armed, or whose
// wait fails, is armed again after a pause, so the listener never stops
// following the policy for good.
#pragma once

#include <windows.h>

#include <cstdint>

#include "watch_state.h"
#include "watch_port.h"

namespace lensbeacon {

class SettingListener {
  public:
    SettingListener(SwitchState& state, SettingPort& system) : state_(state), system_(system) {}

    // The listener thread's whole run, until the stop.
    void Run();

    // One Setting Change pulse: follows Setting Enable into the switch, or,
    // while the policy holds the switch, puts Setting Enable back.
    void OnSettingChange();

    // The policy as it reads now takes effect: a "ShowOSD" that appeared,
    // changed or went.
    void OnPolicyChange();

    // A change takes effect once the policy key has been quiet this long...
    static constexpr DWORD kPolicyQuietMs = 500;
    // ...or this long after the key first changed, however busy it stays.
    static constexpr DWORD kPolicyLatestMs = 1500;

  private:
    // The switch takes a new value: on asks for a new look, off hides a
    // visible indicator at once. False when it already had that value.
    [[nodiscard]] bool TurnSwitch(bool on);
    // Arms the policy watch; when it cannot be, it is down until the retry.
    void ArmPolicyWatch(uint64_t now);
    void PolicyWatchDown(uint64_t now);
    // The policy key changed, or may have while the watch was down: the
    // policy is read once the key is quiet.
    void PolicyWoke(uint64_t now);
    [[nodiscard]] DWORD UntilDue(uint64_t now) const;
    void OnDue(uint64_t now);

    SwitchState& state_;
    SettingPort& system_;
    HANDLE policy_ = nullptr;  // the policy watch's event; null while it is down
    DWORD retryMs_ = 0;        // the next pause; 0 after a wait with the watch in it
    uint64_t retryAt_ = 0;
    bool settling_ = false;  // a change waits for the key to be quiet
    uint64_t firstWake_ = 0;
    uint64_t lastWake_ = 0;
};

// Sets or resets Setting Enable, if it exists, to show the switch.
void MatchSettingEnable(SwitchState& state, bool on);

}  // namespace lensbeacon
