#include "winframe/accessible.h"

#include <new>

#include "lensbeacon/proc_address.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::winframe {
namespace {

// oleacc, loaded when a screen reader first asks for an object: a window
// nobody reads never loads it. Its two calls, null when it cannot be loaded.
struct OleaccCalls {
    using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    UniqueModule module;
    FromObject lresultFromObject = nullptr;
    FromWindow accessibleObjectFromWindow = nullptr;
};

const OleaccCalls& Oleacc() {
    static const OleaccCalls calls = [] {
        OleaccCalls loaded;
        loaded.module.reset(::LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        loaded.lresultFromObject =
            ProcAddress<OleaccCalls::FromObject>(loaded.module.get(), "LresultFromObject");
        loaded.accessibleObjectFromWindow =
            ProcAddress<OleaccCalls::FromWindow>(loaded.module.get(), "AccessibleObjectFromWindow");
        return loaded;
    }();
    return calls;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// A text for a screen reader; S_FALSE with no text when there is none.
HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnLong(LONG value, VARIANT* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    ::VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

}  // namespace

// The IAccessible of one window's client area, with no children: it reads
// its description from the source at every call, so it never goes stale.
class AccessibleObject final : public IAccessible {
  public:
    AccessibleObject(HWND window, AccessiblePort& source) : window_(window), source_(&source) {}

    void Disconnect() noexcept { source_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: screen readers use the vtable only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID,
                                            DISPID* ids) override {
        for (UINT i = 0; ids != nullptr && i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argument) override {
        if (result != nullptr) {
            ::VariantInit(result);
        }
        if (exception != nullptr) {
            *exception = EXCEPINFO{};
        }
        if (argument != nullptr) {
            *argument = 0;
        }
        return E_NOTIMPL;
    }

    // IAccessible. Each method sets its outputs first, so that no failure
    // leaves one unset.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) {
            return E_POINTER;
        }
        *parent = nullptr;
        if (source_ == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        // The window's frame, as the system describes it.
        const auto fromWindow = Oleacc().accessibleObjectFromWindow;
        if (fromWindow == nullptr) {
            return E_FAIL;
        }
        return fromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                          reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return source_ != nullptr ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
        if (child != nullptr) {
            *child = nullptr;
        }
        return source_ != nullptr ? E_INVALIDARG : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &AccessibleDescription::name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, &AccessibleDescription::description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr) {
            return E_POINTER;
        }
        ::VariantInit(role);
        const HRESULT usable = Usable(child);
        return FAILED(usable) ? usable : ReturnLong(source_->Describe().role, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr) {
            return E_POINTER;
        }
        ::VariantInit(state);
        const HRESULT usable = Usable(child);
        if (FAILED(usable)) {
            return usable;
        }
        LONG flags = source_->Describe().state;
        if (::GetFocus() == window_) {
            flags |= STATE_SYSTEM_FOCUSED;
        }
        return ReturnLong(flags, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Text(child, help, nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file != nullptr) {
            *file = nullptr;
        }
        if (topic != nullptr) {
            *topic = 0;
        }
        return source_ != nullptr ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Text(child, shortcut, nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) {
            return E_POINTER;
        }
        ::VariantInit(focus);
        if (source_ == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        return ::GetFocus() == window_ ? ReturnLong(CHILDID_SELF, focus) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr) {
            return E_POINTER;
        }
        ::VariantInit(selection);
        return source_ != nullptr ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &AccessibleDescription::defaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override {
        return source_ != nullptr ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        for (LONG* out : {left, top, width, height}) {
            if (out != nullptr) {
                *out = 0;
            }
        }
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
            return E_POINTER;
        }
        const HRESULT usable = Usable(child);
        if (FAILED(usable)) {
            return usable;
        }
        RECT rect{};
        if (!::GetWindowRect(window_, &rect)) {
            return HRESULT_FROM_WIN32(::GetLastError());
        }
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT* end) override {
        if (end != nullptr) {
            ::VariantInit(end);
        }
        return source_ != nullptr ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        if (hit == nullptr) {
            return E_POINTER;
        }
        ::VariantInit(hit);
        if (source_ == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        RECT rect{};
        return ::GetWindowRect(window_, &rect) && ::PtInRect(&rect, POINT{x, y})
                   ? ReturnLong(CHILDID_SELF, hit)
                   : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const HRESULT usable = Usable(child);
        if (FAILED(usable)) {
            return usable;
        }
        return source_->DoDefaultAction() ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    ~AccessibleObject() = default;

    HRESULT Usable(const VARIANT& child) const {
        if (source_ == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        return IsSelf(child) ? S_OK : E_INVALIDARG;
    }

    HRESULT Text(const VARIANT& child, BSTR* out, std::wstring AccessibleDescription::*field) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        const HRESULT usable = Usable(child);
        if (FAILED(usable)) {
            return usable;
        }
        return field != nullptr ? ReturnText(source_->Describe().*field, out) : S_FALSE;
    }

    LONG references_ = 1;
    HWND window_;
    AccessiblePort* source_;
};

Accessible::~Accessible() {
    Disconnect();
}

void Accessible::OnWindowEnds() noexcept {
    owner_ = nullptr;  // the watch has ended
    Disconnect();
}

void Accessible::Disconnect() noexcept {
    if (owner_ != nullptr) {
        owner_->UnwatchDestroy(*this);
        owner_ = nullptr;
    }
    window_ = nullptr;
    if (object_ == nullptr) {
        return;
    }
    object_->Disconnect();
    // Screen readers elsewhere may still hold proxies: cut them off. It
    // fails only for an object that was never handed out, which no proxy
    // can reach.
    static_cast<void>(::CoDisconnectObject(object_, 0));
    object_->Release();
    object_ = nullptr;
}

bool Accessible::AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) {
        return false;
    }
    const auto fromObject = Oleacc().lresultFromObject;
    if (fromObject == nullptr) {
        return false;  // the system's own description, then
    }
    Window* owner = Window::FromHandle(window);
    if (owner != nullptr && owner->BeingDestroyed()) {
        return false;  // nothing new for a window on its way out
    }
    if (object_ != nullptr && window != window_) {
        Disconnect();  // the object answers for one window only
    }
    if (object_ == nullptr) {
        object_ = new (std::nothrow) AccessibleObject(window, source_);
        if (object_ == nullptr) {
            return false;  // the system's own description, then
        }
        window_ = window;
        if (owner != nullptr) {
            owner_ = owner;
            owner->WatchDestroy(*this);
        }
    }
    result = fromObject(__uuidof(IAccessible), wParam, object_);
    return true;
}

void NotifyAccessibleEvent(DWORD event, HWND window) {
    if (window != nullptr) {
        ::NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
    }
}

}  // namespace lensbeacon::winframe
