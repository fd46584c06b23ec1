#include "winframe/dialog.h"

#include <utility>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon::winframe {
namespace {

using UniqueHook = UniqueOwner<HHOOK, ::UnhookWindowsHookEx>;

// The innermost dialog whose modal loop runs on this thread.
thread_local ModalDialog* t_activeDialog = nullptr;

}  // namespace

ModalDialog::ModalDialog() noexcept = default;

ModalDialog::~ModalDialog() {
    if (t_activeDialog == this) {
        t_activeDialog = nullptr;
    }
}

INT_PTR ModalDialog::DoModal(HINSTANCE instance, UINT templateId, HWND parent) {
    if (Handle() != nullptr) {
        return -1;
    }
    UniqueHook filter(
        ::SetWindowsHookExW(WH_MSGFILTER, &MessageFilterProc, nullptr, ::GetCurrentThreadId()));
    if (!filter) {
        return -1;
    }
    CreationHook creation(*this);
    if (!creation) {
        return -1;
    }
    ModalDialog* outer = std::exchange(t_activeDialog, this);
    const INT_PTR result = ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent,
                                             &DialogProc, reinterpret_cast<LPARAM>(this));
    t_activeDialog = outer;
    // DialogBoxParamW answers 0 for an invalid parent without creating a
    // dialog; the caller learns of the failure all the same.
    if (result == 0 && !WindowWasCreated()) {
        return -1;
    }
    return result;
}

BOOL ModalDialog::EndDialog(INT_PTR result) {
    if (Handle() == nullptr) {
        return FALSE;
    }
    return ::EndDialog(Handle(), result);
}

BOOL ModalDialog::OnInitDialog() {
    return TRUE;
}

BOOL ModalDialog::PreTranslateMessage(MSG&) {
    return FALSE;
}

LRESULT ModalDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        LRESULT result = FALSE;
        if (ReflectToControl(message, wParam, lParam, result)) {
            return result;
        }
    }
    return DefaultProc(message, wParam, lParam);
}

// The dialog manager's own procedure: only WM_INITDIALOG goes to the object,
// everything else reached it through WindowProc already.
INT_PTR CALLBACK ModalDialog::DialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    auto* self = reinterpret_cast<ModalDialog*>(lParam);
    if (self == nullptr || self->Handle() != dialog) {
        return TRUE;
    }
    return self->OnInitDialog();
}

LRESULT CALLBACK ModalDialog::MessageFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX && lParam != 0 && t_activeDialog != nullptr) {
        HWND dialog = t_activeDialog->Handle();
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        if (dialog != nullptr && message.hwnd != nullptr &&
            (message.hwnd == dialog || ::IsChild(dialog, message.hwnd)) &&
            t_activeDialog->PreTranslateMessage(message)) {
            return TRUE;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace lensbeacon::winframe
