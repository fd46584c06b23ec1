// The accessible object of a window that draws itself: what a screen reader
// holding it learns while the window lives, and that it ends with the window,
// every call then failing with all its outputs set.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <wrl/client.h>

#include "winframe/accessible.h"
#include "winframe/com_apartment.h"
#include "winframe/window.h"
#include "winframe/window_class.h"

namespace lensbeacon::winframe {
namespace {

using Microsoft::WRL::ComPtr;

class Speaking final : public Window, private AccessiblePort {
  public:
    int descriptions = 0;  // how often the object asked

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (message == WM_GETOBJECT &&
            accessible_.AnswerGetObject(Handle(), wParam, lParam, result)) {
            return result;
        }
        return Window::WindowProc(message, wParam, lParam);
    }

  private:
    AccessibleDescription Describe() override {
        ++descriptions;
        AccessibleDescription description;
        description.name = L"Camera on";
        description.role = ROLE_SYSTEM_ALERT;
        return description;
    }

    Accessible accessible_{*this};
};

VARIANT Child(LONG id) {
    VARIANT child;
    ::VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// Something a caller left in an output, which a failing call must not leave.
VARIANT Stale() {
    return Child(77);
}

ComPtr<IAccessible> ClientObject(HWND window) {
    ComPtr<IAccessible> object;
    EXPECT_HRESULT_SUCCEEDED(::AccessibleObjectFromWindow(
        window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
        reinterpret_cast<void**>(object.GetAddressOf())));
    return object;
}

// Every method with outputs, called with stale outputs: each fails and
// leaves every output empty.
void ExpectEndedWithOutputsSet(IAccessible& object, const char* how) {
    const VARIANT self = Child(CHILDID_SELF);
    VARIANT out = Stale();
    EXPECT_HRESULT_FAILED(object.get_accRole(self, &out)) << how;
    EXPECT_EQ(out.vt, VT_EMPTY) << how;
    out = Stale();
    EXPECT_HRESULT_FAILED(object.get_accState(self, &out)) << how;
    EXPECT_EQ(out.vt, VT_EMPTY) << how;
    LONG left = 5, top = 6, width = 7, height = 8;
    EXPECT_HRESULT_FAILED(object.accLocation(&left, &top, &width, &height, self)) << how;
    EXPECT_EQ(left | top | width | height, 0) << how;

    using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    for (const TextGetter get :
         {&IAccessible::get_accName, &IAccessible::get_accValue, &IAccessible::get_accDescription,
          &IAccessible::get_accHelp, &IAccessible::get_accKeyboardShortcut,
          &IAccessible::get_accDefaultAction}) {
        BSTR text = reinterpret_cast<BSTR>(&out);  // anything but null
        EXPECT_HRESULT_FAILED((object.*get)(self, &text)) << how;
        EXPECT_EQ(text, nullptr) << how;
    }
    LONG count = 9;
    EXPECT_HRESULT_FAILED(object.get_accChildCount(&count)) << how;
    EXPECT_EQ(count, 0) << how;
    IDispatch* dispatch = reinterpret_cast<IDispatch*>(&out);
    EXPECT_HRESULT_FAILED(object.get_accParent(&dispatch)) << how;
    EXPECT_EQ(dispatch, nullptr) << how;
    dispatch = reinterpret_cast<IDispatch*>(&out);
    EXPECT_HRESULT_FAILED(object.get_accChild(self, &dispatch)) << how;
    EXPECT_EQ(dispatch, nullptr) << how;
    BSTR file = reinterpret_cast<BSTR>(&out);
    LONG topic = 9;
    EXPECT_HRESULT_FAILED(object.get_accHelpTopic(&file, self, &topic)) << how;
    EXPECT_EQ(file, nullptr) << how;
    EXPECT_EQ(topic, 0) << how;
    using VariantGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT*);
    for (const VariantGetter get : {&IAccessible::get_accFocus, &IAccessible::get_accSelection}) {
        out = Stale();
        EXPECT_HRESULT_FAILED((object.*get)(&out)) << how;
        EXPECT_EQ(out.vt, VT_EMPTY) << how;
    }
    out = Stale();
    EXPECT_HRESULT_FAILED(object.accNavigate(NAVDIR_NEXT, self, &out)) << how;
    EXPECT_EQ(out.vt, VT_EMPTY) << how;
    out = Stale();
    EXPECT_HRESULT_FAILED(object.accHitTest(1, 1, &out)) << how;
    EXPECT_EQ(out.vt, VT_EMPTY) << how;
    EXPECT_HRESULT_FAILED(object.accSelect(SELFLAG_TAKEFOCUS, self)) << how;
    EXPECT_HRESULT_FAILED(object.accDoDefaultAction(self)) << how;
}

class WinframeAccessible : public ::testing::Test {
  protected:
    void Create(Speaking& window) {
        ASSERT_TRUE(window.CreateEx(0, RegisterWindowClassOnce(0, nullptr, nullptr, nullptr),
                                    L"speaking", WS_POPUP, 10, 20, 30, 40, nullptr, nullptr));
    }

    ComApartment com_;
};

TEST_F(WinframeAccessible, WhileTheWindowLivesTheObjectDescribesIt) {
    Speaking window;
    Create(window);
    ComPtr<IAccessible> object = ClientObject(window.Handle());
    ASSERT_TRUE(object);
    const VARIANT self = Child(CHILDID_SELF);
    BSTR name = nullptr;
    ASSERT_EQ(object->get_accName(self, &name), S_OK);
    EXPECT_STREQ(name, L"Camera on");
    ::SysFreeString(name);
    VARIANT role = Stale();
    ASSERT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_ALERT);
    LONG left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(object->accLocation(&left, &top, &width, &height, self), S_OK);
    EXPECT_EQ(left, 10);
    EXPECT_EQ(width, 30);
    // A child it does not have: refused, the output still set.
    role = Stale();
    EXPECT_EQ(object->get_accRole(Child(3), &role), E_INVALIDARG);
    EXPECT_EQ(role.vt, VT_EMPTY);
    left = top = width = height = 5;
    EXPECT_EQ(object->accLocation(&left, &top, &width, nullptr, self), E_POINTER);
    EXPECT_EQ(left | top | width, 0);
}

// The window is destroyed while its C++ object lives on (as the indicator
// window's does, until the program ends), and when the object itself goes:
// either way, a screen reader's object answers for no window any more, and
// never asks the window's object again.
TEST_F(WinframeAccessible, TheObjectEndsWithTheWindowNotWithItsCppObject) {
    for (const bool objectGoes : {false, true}) {
        const char* how = objectGoes ? "object deleted" : "window destroyed";
        auto* window = new Speaking;
        Create(*window);
        ComPtr<IAccessible> object = ClientObject(window->Handle());
        ASSERT_TRUE(object) << how;
        if (objectGoes) {
            delete window;  // destroys its window
            window = nullptr;
        } else {
            ASSERT_TRUE(window->DestroyWindow());
        }
        const int asked = window != nullptr ? window->descriptions : 0;
        ExpectEndedWithOutputsSet(*object.Get(), how);
        if (window != nullptr) {
            EXPECT_EQ(window->descriptions, asked) << how;
            delete window;
        }
    }
}

// A window whose object has let go of it: its accessible object ends too,
// since the object no longer answers for that window.
TEST_F(WinframeAccessible, TheObjectEndsWhenItsWindowIsLetGo) {
    Speaking window;
    Create(window);
    ComPtr<IAccessible> object = ClientObject(window.Handle());
    ASSERT_TRUE(object);
    HWND handle = window.Detach();
    ExpectEndedWithOutputsSet(*object.Get(), "let go");
    EXPECT_TRUE(::DestroyWindow(handle));
}

}  // namespace
}  // namespace lensbeacon::winframe
