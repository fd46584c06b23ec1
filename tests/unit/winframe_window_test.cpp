// The window base of the skeleton: what reaches the object and when, the
// subclass chain, once-only classes, and the order in which a window goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "winframe/window.h"
#include "winframe/window_class.h"

namespace lensbeacon::winframe {
namespace {

constexpr UINT kProbe = WM_APP + 1;      // answered by the class procedure
constexpr UINT kSwallowed = WM_APP + 2;  // answered by the object alone

// A class procedure of our own that counts the probes it sees.
int g_classProbes = 0;
LRESULT CALLBACK CountingClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbe) {
        ++g_classProbes;
        return 1234;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* CountingClass() {
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &CountingClassProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Winframe Counting Class";
        return RegisterClassOnce(windowClass) != FALSE;
    }();
    return registered ? L"Winframe Counting Class" : nullptr;
}

// Someone else's subclass on top of ours, as a control library would add.
WNDPROC g_outerPrevious = nullptr;
int g_outerProbes = 0;
LRESULT CALLBACK OuterSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbe) {
        ++g_outerProbes;
    }
    return ::CallWindowProcW(g_outerPrevious, window, message, wParam, lParam);
}

class Recorder : public Window {
  public:
    ~Recorder() override {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }

    std::vector<UINT> messages;
    std::vector<const char*> finalSteps;
    bool deleteOnFinal = false;
    bool deleteOnClose = false;
    bool* destroyed = nullptr;

    using Window::DefaultProc;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == kSwallowed) {
            return 99;
        }
        if (message == WM_CLOSE && deleteOnClose) {
            delete this;
            return 0;
        }
        return Window::WindowProc(message, wParam, lParam);
    }
    void OnFinalDestroy() override {
        finalSteps.push_back(Handle() == nullptr ? "handle cleared" : "handle kept");
        if (deleteOnFinal) {
            delete this;
        }
    }
};

int IndexOf(const std::vector<UINT>& messages, UINT message) {
    for (size_t i = 0; i < messages.size(); ++i) {
        if (messages[i] == message) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

HWND PlainCountingWindow() {
    return ::CreateWindowExW(0, CountingClass(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

TEST(WinframeWindow, ASkeletonClassIsRegisteredOnceAndNamedByItsArguments) {
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    const wchar_t* first = RegisterWindowClassOnce(CS_DBLCLKS, arrow, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(RegisterWindowClassOnce(CS_DBLCLKS, arrow, nullptr, nullptr), first);
    const wchar_t* other = RegisterWindowClassOnce(CS_HREDRAW, arrow, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(std::wstring(first), std::wstring(other));

    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), first, &info));
    EXPECT_EQ(info.lpfnWndProc, &::DefWindowProcW);
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.hCursor, arrow);
}

TEST(WinframeWindow, EveryMessageFromNcCreateOnReachesTheObjectThenThePreviousProcedure) {
    // A DefWindowProcW class: only the skeleton's subclassing can see the
    // creation messages.
    Recorder window;
    ASSERT_TRUE(window.CreateEx(0, RegisterWindowClassOnce(0, nullptr, nullptr, nullptr), L"t",
                                WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_NE(IndexOf(window.messages, WM_NCCREATE), -1);
    EXPECT_LT(IndexOf(window.messages, WM_NCCREATE), IndexOf(window.messages, WM_CREATE));
    EXPECT_EQ(Window::FromHandle(window.Handle()), &window);

    Recorder counted;
    ASSERT_TRUE(
        counted.CreateEx(0, CountingClass(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    g_classProbes = 0;
    EXPECT_EQ(::SendMessageW(counted.Handle(), kProbe, 0, 0), 1234);
    EXPECT_EQ(::SendMessageW(counted.Handle(), kSwallowed, 0, 0), 99);
    EXPECT_EQ(g_classProbes, 1);
    EXPECT_EQ(counted.messages.back(), kSwallowed);
    EXPECT_FALSE(counted.CreateEx(0, CountingClass(), L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
}

TEST(WinframeWindow, SubclassAndDetachKeepTheChainOfOtherSubclassersWhole) {
    HWND hwnd = PlainCountingWindow();
    ASSERT_NE(hwnd, nullptr);
    const LONG_PTR classProc = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);

    Recorder first;
    ASSERT_TRUE(first.Subclass(hwnd));
    Recorder second;
    EXPECT_FALSE(second.Subclass(hwnd));
    EXPECT_FALSE(second.Subclass(nullptr));

    // Someone subclasses over us; our object leaves while they stay on top.
    g_outerPrevious = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterSubclassProc)));
    EXPECT_EQ(first.Detach(), hwnd);
    EXPECT_EQ(Window::FromHandle(hwnd), nullptr);
    g_classProbes = g_outerProbes = 0;
    EXPECT_EQ(::SendMessageW(hwnd, kProbe, 0, 0), 1234);
    EXPECT_EQ(g_outerProbes, 1);
    EXPECT_EQ(g_classProbes, 1);
    EXPECT_EQ(IndexOf(first.messages, kProbe), -1);

    // A new object takes the place left in the chain, under the other one.
    ASSERT_TRUE(second.Subclass(hwnd));
    EXPECT_EQ(::SendMessageW(hwnd, kSwallowed, 0, 0), 99);
    EXPECT_EQ(::SendMessageW(hwnd, kProbe, 0, 0), 1234);
    EXPECT_EQ(g_outerProbes, 2);
    EXPECT_EQ(g_classProbes, 2);

    // The other one leaves properly; then ours can and restores the class's.
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_outerPrevious));
    EXPECT_EQ(second.Detach(), hwnd);
    EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), classProc);
    EXPECT_EQ(::SendMessageW(hwnd, kProbe, 0, 0), 1234);
    EXPECT_EQ(g_classProbes, 3);
    EXPECT_TRUE(::DestroyWindow(hwnd));
}

TEST(WinframeWindow, NcDestroyReachesTheObjectBeforeTheFinalCallWithTheHandleCleared) {
    Recorder window;
    ASSERT_TRUE(window.CreateEx(0, CountingClass(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hwnd = window.Handle();
    ASSERT_TRUE(window.DestroyWindow());
    EXPECT_LT(IndexOf(window.messages, WM_DESTROY), IndexOf(window.messages, WM_NCDESTROY));
    EXPECT_EQ(window.messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(window.finalSteps, std::vector<const char*>{"handle cleared"});
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(Window::FromHandle(hwnd), nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(WinframeWindow, TheObjectMayBeDeletedFromItsOwnHandlersAndItsDestructorCleansUp) {
    bool destroyed = false;
    auto* final = new Recorder;
    final->deleteOnFinal = true;
    final->destroyed = &destroyed;
    ASSERT_TRUE(final->CreateEx(0, CountingClass(), L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    HWND hwnd = final->Handle();
    ASSERT_TRUE(::DestroyWindow(hwnd));
    EXPECT_TRUE(destroyed);

    destroyed = false;
    auto* closing = new Recorder;
    closing->deleteOnClose = true;
    closing->destroyed = &destroyed;
    ASSERT_TRUE(closing->CreateEx(0, CountingClass(), L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    hwnd = closing->Handle();
    EXPECT_EQ(::SendMessageW(hwnd, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(::IsWindow(hwnd));  // the destructor destroyed what it created

    // A window that was only subclassed outlives its object, unhooked.
    HWND plain = PlainCountingWindow();
    ASSERT_NE(plain, nullptr);
    const LONG_PTR classProc = ::GetWindowLongPtrW(plain, GWLP_WNDPROC);
    {
        Recorder borrowed;
        ASSERT_TRUE(borrowed.Subclass(plain));
    }
    EXPECT_TRUE(::IsWindow(plain));
    EXPECT_EQ(::GetWindowLongPtrW(plain, GWLP_WNDPROC), classProc);
    EXPECT_TRUE(::DestroyWindow(plain));
}

}  // namespace
}  // namespace lensbeacon::winframe
