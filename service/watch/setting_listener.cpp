#include "setting_listener.h"

#include "service_events.h"

namespace lensbeacon {

void MatchSettingEnable(WatchState& state, bool on) {
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
    HANDLE policy = system_.ArmPolicyWatch();
    OnPolicyChange();
    for (;;) {
        const HANDLE handles[3] = {stop, pulse, policy};
        const DWORD result = system_.Wait(handles, policy != nullptr ? 3 : 2, INFINITE);
        if (result == WAIT_OBJECT_0) {
            return;
        }
        if (result == WAIT_OBJECT_0 + 1) {
            OnSettingChange();
        } else if (policy != nullptr && result == WAIT_OBJECT_0 + 2) {
            policy = system_.ArmPolicyWatch();  // a notification fires once
            OnPolicyChange();
        }
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
        // user's own "ShowOSD" stays for the day the policy goes.
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
    TurnSwitch(PolicyOr(held, system_.ReadShowOsd()));
    MatchSettingEnable(state_, state_.switchOn != 0);
}

}  // namespace lensbeacon
