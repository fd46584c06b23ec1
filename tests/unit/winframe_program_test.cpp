// The skeleton's program pieces: the application's loop and exit code, the
// frame loaded from resources with its view, and the modal dialog from an
// extended template of a cloned dialog class.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "winframe/application.h"
#include "winframe/button.h"
#include "winframe/child_view.h"
#include "winframe/dialog.h"
#include "winframe/frame_window.h"
#include "winframe/window_class.h"
#include "winframe_test_resources.h"

namespace lensbeacon::winframe {
namespace {

constexpr UINT kPreTranslated = WM_APP + 3;
constexpr UINT_PTR kWatchdogCode = 99;

// Turns a loop that nothing ends into a failure instead of a hang: after a
// generous while it ends the dialog, or the application's loop, with a code
// no test expects.
HWND g_watchdogDialog = nullptr;
void CALLBACK EndStuckLoop(HWND, UINT, UINT_PTR, DWORD) {
    if (g_watchdogDialog != nullptr) {
        ::EndDialog(g_watchdogDialog, static_cast<INT_PTR>(kWatchdogCode));
    } else {
        ::PostQuitMessage(static_cast<int>(kWatchdogCode));
    }
}
class Watchdog {
  public:
    Watchdog() : timer_(::SetTimer(nullptr, 0, 10000, &EndStuckLoop)) {}
    ~Watchdog() {
        ::KillTimer(nullptr, timer_);
        g_watchdogDialog = nullptr;
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    UINT_PTR timer_;
};

class TestView : public ChildView {};

class TestFrame : public FrameWindow {
  public:
    TestView view;
    bool created = false;
    int dispatchedProbes = 0;

  protected:
    int OnCreate(const CREATESTRUCTW& cs) override {
        if (FrameWindow::OnCreate(cs) == -1 ||
            !view.CreateView(Handle(), kFirstPaneId, WS_CHILD | WS_VISIBLE, 0)) {
            return -1;
        }
        created = true;
        return 0;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPreTranslated) {
            ++dispatchedProbes;
        }
        return FrameWindow::WindowProc(message, wParam, lParam);
    }
};

class TestApp : public Application {
  public:
    explicit TestApp(bool start) : start_(start) {}

    TestFrame frame;
    bool viewFilledFrame = false;
    bool hadMenu = false;
    wchar_t title[64] = {};
    int preTranslated = 0;

  protected:
    BOOL InitInstance() override {
        if (!frame.LoadFrame(Instance(), IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW, nullptr)) {
            return FALSE;
        }
        SetMainWindow(&frame);
        hadMenu = ::GetMenu(frame.Handle()) != nullptr;
        ::GetWindowTextW(frame.Handle(), title, 64);
        ::SetWindowPos(frame.Handle(), nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        RECT view{};
        ::GetClientRect(frame.Handle(), &client);
        ::GetWindowRect(frame.view.Handle(), &view);
        viewFilledFrame = client.right > 0 && view.right - view.left == client.right &&
                          view.bottom - view.top == client.bottom;
        ::PostMessageW(frame.Handle(), kPreTranslated, 0, 0);
        ::PostMessageW(frame.Handle(), WM_CLOSE, 0, 0);
        return start_ ? TRUE : FALSE;
    }
    int ExitInstance() override { return Application::ExitInstance() + 40; }
    BOOL PreTranslateMessage(MSG& message) override {
        if (message.message == kPreTranslated) {
            ++preTranslated;
            return TRUE;
        }
        return FALSE;
    }

  private:
    bool start_;
};

TEST(WinframeProgram, TheLoopRunsUntilTheMainFrameIsDestroyedAndExitInstanceAnswers) {
    TestApp app(true);
    Watchdog watchdog;
    EXPECT_EQ(app.Run(::GetModuleHandleW(nullptr)), 40);
    EXPECT_TRUE(app.frame.created);
    EXPECT_TRUE(app.viewFilledFrame);
    EXPECT_TRUE(app.hadMenu);
    EXPECT_STREQ(app.title, L"Test Frame");
    EXPECT_EQ(app.preTranslated, 1);
    EXPECT_EQ(app.frame.dispatchedProbes, 0);
    EXPECT_EQ(app.frame.Handle(), nullptr);  // WM_CLOSE destroyed it
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(Application::Running(), nullptr);
}

TEST(WinframeProgram, AFailedStartSkipsTheLoop) {
    TestApp app(false);
    EXPECT_EQ(app.Run(::GetModuleHandleW(nullptr)), 40);
    EXPECT_NE(app.frame.Handle(), nullptr);  // its WM_CLOSE was never dispatched
    EXPECT_EQ(app.preTranslated, 0);
    // Drop what the skipped loop left, so later tests' loops do not see it.
    MSG message;
    while (::PeekMessageW(&message, app.frame.Handle(), 0, 0, PM_REMOVE)) {
    }
}

class TestButton : public SubclassedButton {
  public:
    int drawn = 0;

  protected:
    BOOL DrawItem(const DRAWITEMSTRUCT&) override {
        ++drawn;
        return TRUE;
    }
};

class TestDialog : public ModalDialog {
  public:
    TestButton button;
    std::vector<UINT> beforeInit;
    bool initialised = false;
    wchar_t className[64] = {};
    LRESULT drawAnswer = 0;
    int dispatchedEnds = 0;

  protected:
    BOOL OnInitDialog() override {
        initialised = true;
        g_watchdogDialog = Handle();
        ::GetClassNameW(Handle(), className, 64);
        if (button.SubclassDlgItem(Handle(), IDC_TEST_BUTTON)) {
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_BUTTON;
            item.CtlID = IDC_TEST_BUTTON;
            item.hwndItem = button.Handle();
            drawAnswer = ::SendMessageW(Handle(), WM_DRAWITEM, IDC_TEST_BUTTON,
                                        reinterpret_cast<LPARAM>(&item));
        }
        // Ended from the modal loop's pre-translation, not from a handler.
        ::PostMessageW(Handle(), kPreTranslated, 42, 0);
        return ModalDialog::OnInitDialog();
    }
    BOOL PreTranslateMessage(MSG& message) override {
        if (message.message == kPreTranslated) {
            EndDialog(static_cast<INT_PTR>(message.wParam));
            return TRUE;
        }
        return FALSE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (!initialised) {
            beforeInit.push_back(message);
        }
        if (message == kPreTranslated) {
            ++dispatchedEnds;
        }
        return ModalDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(WinframeProgram, AModalDialogOfAClonedDialogClassEndsWithItsResult) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW dialogClass{};
    ASSERT_TRUE(::GetClassInfoW(nullptr, L"#32770", &dialogClass));
    dialogClass.hInstance = instance;
    dialogClass.lpszClassName = TEST_DIALOG_CLASS;
    ASSERT_TRUE(RegisterClassOnce(dialogClass));
    ASSERT_TRUE(RegisterClassOnce(dialogClass));

    TestDialog dialog;
    Watchdog watchdog;
    EXPECT_EQ(dialog.DoModal(instance, IDD_TEST_DIALOG, nullptr), 42);
    EXPECT_STREQ(dialog.className, TEST_DIALOG_CLASS);
    std::vector<UINT>& early = dialog.beforeInit;
    EXPECT_NE(std::find(early.begin(), early.end(), WM_NCCREATE), early.end());
    EXPECT_EQ(early.back(), static_cast<UINT>(WM_INITDIALOG));
    EXPECT_GE(dialog.button.drawn, 1);  // ours, and any the paint sent
    EXPECT_EQ(dialog.drawAnswer, TRUE);
    EXPECT_EQ(dialog.dispatchedEnds, 0);
    EXPECT_EQ(dialog.Handle(), nullptr);
    EXPECT_EQ(dialog.button.Handle(), nullptr);

    TestDialog missing;
    EXPECT_EQ(missing.DoModal(instance, 999, nullptr), -1);
}

}  // namespace
}  // namespace lensbeacon::winframe
