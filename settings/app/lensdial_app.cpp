#include "app/lensdial_app.h"

#include "lensbeacon/language_option.h"
#include "controls/wnd_shadow.h"
#include "dialog/lensdial_dlg.h"
#include "lensbeacon/localized_texts.h"
#include "winframe/window_class.h"

namespace lensbeacon::settings {

CLensdialApp::CLensdialApp() noexcept = default;

CLensdialApp::~CLensdialApp() = default;

BOOL RegisterDialogClass(HINSTANCE instance) {
    WNDCLASSW dialogClass{};
    if (!::GetClassInfoW(instance, L"#32770", &dialogClass)) {
        return FALSE;
    }
    dialogClass.hInstance = instance;
    dialogClass.lpszClassName = kDialogClassName;
    return winframe::RegisterClassOnce(dialogClass);
}

BOOL CLensdialApp::InitInstance() {
    instanceEvent_.reset(::CreateEventW(nullptr, FALSE, FALSE, kInstanceEventName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another instance runs in this session: bring its dialog forward (it
        // may not exist yet, or any more) and end.
        if (HWND first = ::FindWindowW(kDialogClassName, nullptr)) {
            ::SetForegroundWindow(first);
        }
        return FALSE;
    }
    g_languageOverride.store(ParseLanguageOption(CommandArguments(::GetCommandLineW())),
                             std::memory_order_relaxed);
    // Without the shadow's class the dialog simply casts no shadow.
    CWndShadow::Initialize(Instance());
    // Without the cloned class the template's dialog cannot be made; the
    // modal run then fails at once and the program ends quietly.
    RegisterDialogClass(Instance());
    {
        CLensdialDlg dialog;
        SetMainWindow(&dialog);
        dialog.DoModal(Instance(), nullptr);
        SetMainWindow(nullptr);
    }
    return FALSE;
}

int CLensdialApp::ExitInstance() {
    instanceEvent_.reset();
    return winframe::Application::ExitInstance();
}

}  // namespace lensbeacon::settings
