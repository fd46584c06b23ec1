#include "accessibility_probe.h"

#include <wrl/client.h>

namespace lensbeacon::test {
namespace {

WinEventRecorder* g_recorder = nullptr;

AccessibleFacts Read(IAccessible* object, const VARIANT& child) {
    AccessibleFacts facts;
    BSTR name = nullptr;
    VARIANT role;
    VARIANT state;
    ::VariantInit(&role);
    ::VariantInit(&state);
    if (object == nullptr || FAILED(object->get_accName(child, &name)) ||
        FAILED(object->get_accRole(child, &role)) || FAILED(object->get_accState(child, &state)) ||
        role.vt != VT_I4 || state.vt != VT_I4) {
        ::SysFreeString(name);
        return facts;
    }
    facts.read = true;
    facts.name = name != nullptr ? name : L"";
    facts.role = role.lVal;
    facts.state = state.lVal;
    ::SysFreeString(name);
    return facts;
}

AccessibleFacts ReadClient(HWND window) {
    Microsoft::WRL::ComPtr<IAccessible> object;
    if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                            __uuidof(IAccessible),
                                            reinterpret_cast<void**>(object.GetAddressOf())))) {
        return {};
    }
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return Read(object.Get(), self);
}

}  // namespace

AccessibleFacts ClientAccessible(HWND window) {
    // The other process's object reaches this one through COM.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    AccessibleFacts facts = ReadClient(window);
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return facts;
}

WinEventRecorder::WinEventRecorder(DWORD first, DWORD last, DWORD process)
    : com_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    g_recorder = this;
    hook_ = ::SetWinEventHook(first, last, nullptr, OnEvent, process, 0, WINEVENT_OUTOFCONTEXT);
}

WinEventRecorder::~WinEventRecorder() {
    if (hook_ != nullptr) {
        ::UnhookWinEvent(hook_);
    }
    g_recorder = nullptr;
    events_.clear();
    if (com_) {
        ::CoUninitialize();
    }
}

void CALLBACK WinEventRecorder::OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                                        LONG child, DWORD, DWORD) {
    if (g_recorder == nullptr) {
        return;
    }
    Event recorded;
    recorded.event = event;
    recorded.window = window;
    Microsoft::WRL::ComPtr<IAccessible> accessible;
    VARIANT childId;
    ::VariantInit(&childId);
    if (SUCCEEDED(::AccessibleObjectFromEvent(window, static_cast<DWORD>(object),
                                              static_cast<DWORD>(child), accessible.GetAddressOf(),
                                              &childId))) {
        recorded.object = Read(accessible.Get(), childId);
    }
    g_recorder->events_.push_back(recorded);
}

const WinEventRecorder::Event* WinEventRecorder::Find(DWORD event, HWND window) const {
    for (const Event& recorded : events_) {
        if (recorded.event == event && (window == nullptr || recorded.window == window)) {
            return &recorded;
        }
    }
    return nullptr;
}

const WinEventRecorder::Event* WinEventRecorder::WaitFor(DWORD event, HWND window,
                                                         DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        if (const Event* found = Find(event, window)) {
            return found;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            return nullptr;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                    QS_ALLINPUT);
    }
}

}  // namespace lensbeacon::test
