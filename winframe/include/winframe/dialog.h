// A modal dialog from a dialog template, with the dialog window subclassed
// before WM_INITDIALOG and its modal loop open to pre-translation.
#pragma once

#include <windows.h>

#include "winframe/window.h"

namespace lensbeacon::winframe {

class ModalDialog : public Window {
  public:
    ModalDialog() noexcept;
    ~ModalDialog() override;

    // Runs a modal dialog from the template with this id (a DIALOGEX
    // template works, also one whose CLASS is a class cloned from "#32770").
    // The dialog window is subclassed as it is created, so WindowProc sees
    // WM_INITDIALOG and everything before. Answers the EndDialog result, -1 on
    // failure (also when this object already has a window). The object must
    // outlive the call; it has no window afterwards.
    INT_PTR DoModal(HINSTANCE instance, UINT templateId, HWND parent);

    // Ends the modal loop with this result. FALSE when no dialog runs.
    BOOL EndDialog(INT_PTR result);

  protected:
    // Called for WM_INITDIALOG, after WindowProc passed it on; answers as the
    // dialog procedure does (TRUE: the system sets the focus). Default TRUE.
    virtual BOOL OnInitDialog();

    // Offered each message of the modal loop that is meant for the dialog or
    // one of its controls, before the dialog manager sees it (through a
    // message-filter hook on the dialog loop). TRUE means handled: the
    // message is neither translated nor dispatched, as after a successful
    // TranslateAcceleratorW. The default answers FALSE.
    virtual BOOL PreTranslateMessage(MSG& message);

    // Reflects WM_DRAWITEM to the control's own Window (owner-drawn buttons),
    // then passes the message to DefaultProc.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MessageFilterProc(int code, WPARAM wParam, LPARAM lParam);
};

}  // namespace lensbeacon::winframe
