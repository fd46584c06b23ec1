// The dialog's switch and its Off/On label: made from the service's Setting
// Enable event, or from the organisation's policy while it holds the switch,
// and refreshed on a console connect.
#include "controls/switch_events.h"
#include "dialog/dialog_layout.h"
#include "dialog/lensdial_dlg.h"
#include "drawing/drawing.h"
#include "lensbeacon/names.h"
#include "lensbeacon/policy.h"
#include "lensbeacon/registry_value.h"
#include "lensbeacon/localized_texts.h"

namespace lensbeacon::settings {
namespace {

// "ShowCfgTip" of the policy, else of the settings key.
bool ShowsSwitchLabel() {
    DWORD value = 0;
    const bool own =
        ReadRegistryDword(HKEY_LOCAL_MACHINE, kSettingsKey, kShowCfgTipValue, 0, value) &&
        value == 1;
    return PolicyOr(ReadPolicySetting(kShowCfgTipValue), own);
}

}  // namespace

void CLensdialDlg::CreateSwitchAndLabel() {
    const int state = QuerySwitchState();
    const int initial = SwitchPositionFor(state, heldSwitch_);
    if (ShowsSwitchLabel()) {
        const wchar_t* const texts[CStaticTextWnd::kTextCount] = {GetLocalizedText(kTextOff),
                                                                  GetLocalizedText(kTextOn)};
        tipLabel_.CreateLabel(Handle(), backgroundDc_.get(), texts, Scaled(kLabelX),
                              Scaled(kLabelY), Scaled(kLabelWidth), Scaled(kLabelHeight), initial);
    }
    if (selector_.CreateSelector(Handle(), backgroundDc_.get(), Scaled(kSwitchX), Scaled(kSwitchY),
                                 Scaled(kSwitchWidth), Scaled(kSwitchHeight), 0, 0, g_scale,
                                 kSwitchPositions, initial)) {
        selector_.EnableSelector(SwitchEnabledFor(state, heldSwitch_) ? TRUE : FALSE);
        // A screen reader names the switch by the sentence it stands for.
        selector_.SetAccessibleName(GetLocalizedText(kTextDescription));
        if (heldSwitch_ != PolicySetting::NotConfigured) {
            selector_.SetAccessibleDescription(GetManagedNotice());
        }
        // First in the tab order, so the keyboard starts on the switch, not
        // on the close button; should that fail, the close button comes first.
        static_cast<void>(::SetWindowPos(selector_.Handle(), HWND_TOP, 0, 0, 0, 0,
                                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    }
}

// After a console connect the service may have started, stopped or been
// switched from elsewhere. The position step needs an enabled switch, so a
// switch that was disabled is only enabled here and shows the position from
// the next change on. A switch the policy holds stays as it is.
void CLensdialDlg::RefreshSwitch() {
    if (heldSwitch_ != PolicySetting::NotConfigured) {
        return;
    }
    const int state = QuerySwitchState();
    selector_.SetPosition(SwitchPositionFor(state), TRUE, FALSE);
    if (selector_.Created()) {
        selector_.EnableSelector(SwitchEnabledFor(state) ? TRUE : FALSE);
    }
}

}  // namespace lensbeacon::settings
