// Lensdial's application object: one instance per logon session, the
// "-Lang=" option, the dialog's window class, and the settings dialog run
// modally. The dialog's modal loop is the program's only message loop.
#pragma once

#include <windows.h>

#include "lensbeacon/unique_owner.h"
#include "winframe/application.h"

namespace lensbeacon::settings {

// The session-local marker of a running instance (no "Global\" prefix).
inline constexpr wchar_t kInstanceEventName[] = L"Lensbeacon Control App Event";
// The dialog's class, cloned from the system dialog class; a second instance
// finds the first one's dialog by it.
inline constexpr wchar_t kDialogClassName[] = L"Lensbeacon Control App Class";

class CLensdialApp : public winframe::Application {
  public:
    CLensdialApp() noexcept;
    ~CLensdialApp() override;
    CLensdialApp(const CLensdialApp&) = delete;
    CLensdialApp& operator=(const CLensdialApp&) = delete;

  protected:
    // Runs the whole program and answers FALSE, so no second loop follows.
    BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    // Held for the life of the first instance, whatever CreateEventW said.
    UniqueHandle instanceEvent_;
};

// Registers the dialog class: "#32770" of this module under kDialogClassName.
// TRUE when the class exists afterwards.
BOOL RegisterDialogClass(HINSTANCE instance);

}  // namespace lensbeacon::settings
