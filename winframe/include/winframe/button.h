// A push button of a dialog template, taken over by a Window object.
#pragma once

#include <windows.h>

#include "winframe/window.h"

namespace lensbeacon::winframe {

class SubclassedButton : public Window {
  public:
    // Subclasses the dialog's control with this id. FALSE if there is none
    // or it cannot be subclassed.
    BOOL SubclassDlgItem(HWND dialog, int id);

  protected:
    // For an owner-drawn button (BS_OWNERDRAW): the WM_DRAWITEM its parent
    // reflects (ModalDialog does). TRUE when drawn; the default draws nothing
    // and answers FALSE.
    virtual BOOL DrawItem(const DRAWITEMSTRUCT& item);

    BOOL OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace lensbeacon::winframe
