// Where the settings dialog puts its parts, at 96 dots per inch (every value
// is scaled with Scaled()), and the small decisions its start-up makes.
#pragma once

#include <windows.h>

#include "lensbeacon/policy.h"

namespace lensbeacon::settings {

// The title band the dialog is dragged by: the full width, this high.
inline constexpr int kTitleBandHeight = 57;
// The close button's top-left corner.
inline constexpr int kCloseX = 343;
inline constexpr int kCloseY = 0;
// The band the description is centred in, and its widest line.
inline constexpr int kDescriptionTop = 72;
inline constexpr int kDescriptionBottom = 128;
inline constexpr int kDescriptionWidth = 340;
// The optional Off/On label and the switch.
inline constexpr int kLabelX = 168;
inline constexpr int kLabelY = 136;
inline constexpr int kLabelWidth = 72;
inline constexpr int kLabelHeight = 34;
inline constexpr int kSwitchX = 260;
inline constexpr int kSwitchY = 136;
inline constexpr int kSwitchWidth = 100;
inline constexpr int kSwitchHeight = 34;
inline constexpr int kSwitchPositions = 2;
// "Managed by your organisation", in the switch's row left of the label,
// while the organisation's policy holds the switch.
inline constexpr int kNoticeX = 18;
inline constexpr int kNoticeRight = kLabelX - 8;

// The layout scale for a screen of these dots per inch: 1.25 when the
// smaller of the two is above 120, else 1.0 (there is no other step).
float ScaleForDpi(int dpiX, int dpiY) noexcept;

// The top-left corner that centres a window of this size in the work area,
// kept inside it where the window is larger.
POINT CentredIn(const RECT& workArea, int width, int height) noexcept;

// What the switch shows for an answer of QuerySwitchState (0 off, 1 on,
// 2 the service does not run): its position, and whether it takes input.
inline constexpr int SwitchPositionFor(int state) noexcept {
    return state == 1 ? 1 : 0;
}
inline constexpr bool SwitchEnabledFor(int state) noexcept {
    return state != 2;
}
// The same while the organisation's policy may hold the switch: a held
// switch shows the policy's state and takes no input.
inline constexpr int SwitchPositionFor(int state, PolicySetting held) noexcept {
    return held == PolicySetting::NotConfigured ? SwitchPositionFor(state)
                                                : (held == PolicySetting::On ? 1 : 0);
}
inline constexpr bool SwitchEnabledFor(int state, PolicySetting held) noexcept {
    return held == PolicySetting::NotConfigured && SwitchEnabledFor(state);
}

}  // namespace lensbeacon::settings
