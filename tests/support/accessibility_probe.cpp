#include "accessibility_probe.h"

#include <commctrl.h>
#include <wrl/client.h>

#include <cwchar>

#include "lensbeacon/unique_owner.h"

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
    BSTR description = nullptr;
    if (SUCCEEDED(object->get_accDescription(child, &description)) && description != nullptr) {
        facts.description = description;
    }
    ::SysFreeString(description);
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

HWND ToolTipOf(HWND owner) {
    HWND found = nullptr;
    for (HWND window = nullptr;
         (window = ::FindWindowExW(nullptr, window, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
        if (::GetWindow(window, GW_OWNER) == owner) {
            found = window;
        }
    }
    return found;
}

std::wstring ToolTipText(HWND tooltip) {
    constexpr std::size_t kCapacity = 1024;
    DWORD process = 0;
    if (tooltip == nullptr || ::GetWindowThreadProcessId(tooltip, &process) == 0) {
        return {};
    }
    UniqueHandle target(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process));
    if (!target) {
        return {};
    }
    // The tool record and room for its text, in the control's own process.
    const SIZE_T bytes = sizeof(TOOLINFOW) + kCapacity * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(target.get(), nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr) {
        return {};
    }
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote) + sizeof(TOOLINFOW));
    std::wstring text;
    wchar_t buffer[kCapacity] = {};
    DWORD_PTR answer = 0;
    if (::WriteProcessMemory(target.get(), remote, &tool, sizeof(tool), nullptr) &&
        ::SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote),
                              SMTO_BLOCK, 5000, &answer) &&
        answer != 0 &&
        ::ReadProcessMemory(target.get(), tool.lpszText, buffer, sizeof(buffer) - sizeof(wchar_t),
                            nullptr)) {
        text.assign(buffer, ::wcsnlen(buffer, kCapacity));
    }
    ::VirtualFreeEx(target.get(), remote, 0, MEM_RELEASE);
    return text;
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

const WinEventRecorder::Event* WinEventRecorder::Find(DWORD event, HWND window,
                                                      const std::wstring* name) const {
    for (const Event& recorded : events_) {
        if (recorded.event == event && (window == nullptr || recorded.window == window) &&
            (name == nullptr || recorded.object.name == *name)) {
            return &recorded;
        }
    }
    return nullptr;
}

const WinEventRecorder::Event* WinEventRecorder::WaitFor(DWORD event, HWND window,
                                                         DWORD timeoutMs) {
    return Wait(event, window, nullptr, timeoutMs);
}

const WinEventRecorder::Event* WinEventRecorder::WaitForNamed(DWORD event, HWND window,
                                                              const std::wstring& name,
                                                              DWORD timeoutMs) {
    return Wait(event, window, &name, timeoutMs);
}

const WinEventRecorder::Event* WinEventRecorder::Wait(DWORD event, HWND window,
                                                      const std::wstring* name, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        if (const Event* found = Find(event, window, name)) {
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
