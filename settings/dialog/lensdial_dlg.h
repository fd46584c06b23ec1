// The settings dialog: a borderless, fixed-size window drawn from images, with
// the title band it is dragged by, the description, the on/off switch, the
// optional Off/On label, the close button, a drop shadow and fades. It owns
// the system side of the switch: it reads it from the service's Setting
// Enable event and changes it through Setting Enable and Setting Change. The
// service persists the switch; the dialog writes no registry value. While the
// organisation's policy holds the switch, it shows the policy's state, takes
// no input, and the dialog says the switch is managed.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <memory>
#include <optional>

#include "controls/d2d_button.h"
#include "controls/fade_effect.h"
#include "controls/mouse_event_ctrl.h"
#include "controls/selector_wnd.h"
#include "controls/static_text_wnd.h"
#include "controls/wnd_shadow.h"
#include "drawing/memory_dc.h"
#include "lensbeacon/policy.h"
#include "lensbeacon/unique_owner.h"
#include "winframe/com_apartment.h"
#include "winframe/dialog.h"

namespace lensbeacon::settings {

inline constexpr int kTitleCapacity = 260;
// The window title, "Lensbeacon" once the dialog has started.
extern wchar_t g_title[kTitleCapacity];

// Ends the modal loop as OK; nothing in the program posts it.
inline constexpr UINT kEndOkMessage = WM_USER + 401;
// Ends the modal loop as Cancel; the fade-out posts it when it has finished.
inline constexpr UINT kEndCancelMessage = WM_USER + 402;

class CLensdialDlg : public winframe::ModalDialog {
  public:
    CLensdialDlg() noexcept;
    ~CLensdialDlg() override;

    // Runs the dialog from template 102 until it ends; the EndDialog result.
    INT_PTR DoModal(HINSTANCE instance, HWND parent);

  protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG& message) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void BindControls();
    // dialog_background.cpp
    void CentreOnScreen();
    void BuildBackground();
    void DrawDescription(IWICBitmap* background);
    void PaintBackground(HDC dc);
    void LayOutControls();
    void CreateSwitchAndLabel();
    void RefreshSwitch();
    void OnCommand(WORD id, WORD code);
    // title_band_drag.cpp
    void OnMouse(UINT message, LPARAM lParam);
    void ShowFocusCues();
    void FadeOut();
    void CleanUp();

    // Declared first, so COM outlives every COM object of the members.
    winframe::ComApartment com_;
    HICON icon_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::unique_ptr<CWndShadow> shadow_;
    CFadeDialogEffect fade_{SystemFadeWindowPort()};
    int width_ = 0;
    int height_ = 0;
    std::optional<WindowDc> windowDc_;
    MemoryDc backgroundDc_;
    bool destroyed_ = false;
    PolicySetting heldSwitch_ = PolicySetting::NotConfigured;  // read once at start
    CMouseEventCtrl dragBand_{SystemMouseTrackingPort()};
    CD2DButton closeButton_;
    CSelectorWndEx2 selector_;
    CStaticTextWnd tipLabel_;
};

}  // namespace lensbeacon::settings
