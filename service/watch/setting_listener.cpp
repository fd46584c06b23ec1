#include "setting_listener.h"

#include <algorithm>

#include "retry_pause.h"
#include "service_events.h"

namespace lensbeacon {

void MatchSettingEnable(SwitchState& state, bool on) {
    if (HANDLE enable = state.events.get(EventId::SettingEnable)) {
        if (on) {
            state.events.api().setEvent(enable);
        } else {
            state.events.api().resetEvent(enable);
        }
    }
}

void SettingListener::Run() {
    const HANDLE stop = state_.stopEvent.load();
    const HANDLE pulse = state_.events.get(EventId::SettingChange);
    if (stop == nullptr || state_.events.get(EventId::SettingEnable) == nullptr ||
        pulse == nullptr) {
        return;
    }
    // Armed first, then read: a change between the worker's read and the
    // arming is not lost.
    ArmPolicyWatch(system_.TickMs());
    OnPolicyChange();
    for (;;) {
        const HANDLE handles[3] = {stop, pulse, policy_};
        const DWORD count = policy_ != nullptr ? 3 : 2;
        const DWORD result = system_.Wait(handles, count, UntilDue(system_.TickMs()));
        const uint64_t now = system_.TickMs();
        if (result == WAIT_OBJECT_0) {
            return;
        }
        if (result == WAIT_FAILED) {
            if (count == 2) {
                return;  // not even the stop can be waited for
            }
            PolicyWatchDown(now);  // the pulses are still followed meanwhile
            continue;
        }
        if (count == 3) {
            retryMs_ = 0;  // the watch works: a later failure starts its pauses afresh
        }
        if (result == WAIT_OBJECT_0 + 1) {
            OnSettingChange();
        } else if (result == WAIT_OBJECT_0 + 2) {
            ArmPolicyWatch(now);  // a notification fires once
            PolicyWoke(now);
        } else {
            OnDue(now);
        }
    }
}

void SettingListener::ArmPolicyWatch(uint64_t now) {
    policy_ = system_.ArmPolicyWatch();
    if (policy_ == nullptr) {
        PolicyWatchDown(now);
    }
}

void SettingListener::PolicyWatchDown(uint64_t now) {
    policy_ = nullptr;
    retryMs_ = NextRetryPauseMs(retryMs_);
    retryAt_ = now + retryMs_;
}

void SettingListener::PolicyWoke(uint64_t now) {
    if (!settling_) {
        settling_ = true;
        firstWake_ = now;
    }
    lastWake_ = now;
}

DWORD SettingListener::UntilDue(uint64_t now) const {
    uint64_t due = UINT64_MAX;
    if (settling_) {
        due = std::min(lastWake_ + kPolicyQuietMs, firstWake_ + kPolicyLatestMs);
    }
    if (policy_ == nullptr) {
        due = std::min(due, retryAt_);
    }
    if (due == UINT64_MAX) {
        return INFINITE;
    }
    return due > now ? static_cast<DWORD>(due - now) : 0;
}

void SettingListener::OnDue(uint64_t now) {
    if (policy_ == nullptr && now >= retryAt_) {
        ArmPolicyWatch(now);
        if (policy_ != nullptr) {
            PolicyWoke(now);  // the key may have changed while nobody listened
        }
    }
    if (settling_ && (now >= lastWake_ + kPolicyQuietMs || now >= firstWake_ + kPolicyLatestMs)) {
        settling_ = false;
        OnPolicyChange();
    }
}

bool SettingListener::TurnSwitch(bool on) {
    if (on == (state_.switchOn != 0)) {
        return false;
    }
    state_.switchOn = on ? 1 : 0;
    if (on) {
        if (HANDLE change = state_.events.get(EventId::Change)) {
            state_.events.api().setEvent(change);  // look at the camera again
        }
    } else {
        state_.publisher.Publish(CameraState::Off);  // hide a visible indicator now
    }
    return true;
}

void SettingListener::OnSettingChange() {
    const HANDLE enable = state_.events.get(EventId::SettingEnable);
    const bool enabled = system_.Wait(&enable, 1, 0) == WAIT_OBJECT_0;
    const PolicySetting held = state_.policyShowOsd.load();
    if (held != PolicySetting::NotConfigured) {
        // The policy holds the switch: Setting Enable goes back, and the
        // user's own "ShowOSD" stays for the day the policy goes. A policy
        // change still settling has not taken effect yet.
        if (enabled != (held == PolicySetting::On)) {
            MatchSettingEnable(state_, held == PolicySetting::On);
        }
        return;
    }
    if (TurnSwitch(enabled)) {
        system_.WriteShowOsd(enabled);
    }
}

void SettingListener::OnPolicyChange() {
    const PolicySetting held = system_.ReadPolicy().showOsd;
    if (held == state_.policyShowOsd.load()) {
        return;
    }
    // In this order, for a worker still waiting for the switch: the policy,
    // then the switch, then Setting Enable (WaitForSwitchOn).
    state_.policyShowOsd = held;
    // Setting Enable follows the switch whether it turned or not.
    static_cast<void>(TurnSwitch(PolicyOr(held, system_.ReadShowOsd())));
    MatchSettingEnable(state_, state_.switchOn != 0);
}

}  // namespace lensbeacon
