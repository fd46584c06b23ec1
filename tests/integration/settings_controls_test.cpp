// The settings controls on real windows in Wine: the close button composes
// its looks over the background, cross-fades and clicks; the Off/On label
// renders its words and swaps them on WM_SWITCH_POSITION; the switch composes
// its track and knob, follows clicks by message and by the real pointer and
// cross-fades its track; the shadow strips frame and follow their owner.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "../support/pointer_input.h"
#include "../support/screen_capture.h"
#include "controls/d2d_button.h"
#include "controls/selector_wnd.h"
#include "controls/static_text_wnd.h"
#include "controls/wnd_shadow.h"
#include "drawing/drawing.h"
#include "lensbeacon/localized_texts.h"
#include "winframe/window.h"
#include "winframe/window_class.h"

namespace lensbeacon::settings {
namespace {

constexpr int kDialogX = 200;
constexpr int kDialogY = 150;
constexpr int kButtonId = 8;

int Red(COLORREF colour) {
    return static_cast<int>(GetRValue(colour));
}

// True when the colour is within `tolerance` of grey level (r, g, b).
::testing::AssertionResult Near(COLORREF colour, int r, int g, int b, int tolerance = 4) {
    if (std::abs(Red(colour) - r) > tolerance ||
        std::abs(static_cast<int>(GetGValue(colour)) - g) > tolerance ||
        std::abs(static_cast<int>(GetBValue(colour)) - b) > tolerance) {
        return ::testing::AssertionFailure()
               << "colour (" << Red(colour) << ", " << static_cast<int>(GetGValue(colour)) << ", "
               << static_cast<int>(GetBValue(colour)) << "), expected (" << r << ", " << g << ", "
               << b << ")";
    }
    return ::testing::AssertionSuccess();
}

COLORREF ScreenColour(const test::ScreenPixels& image, int x, int y) {
    const std::uint32_t rgb = image.At(x, y);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void SaveShot(const test::ScreenPixels& image, const wchar_t* name) {
    const std::wstring folder = test::ScreenshotFolder();
    if (!folder.empty() && image.width > 0) {
        test::SavePng(image, folder + name, 3);
    }
}

// A borderless stand-in for the settings dialog: paints the background image
// and reflects WM_DRAWITEM to its owner-drawn controls; counts clicks.
class TestDialog : public winframe::Window {
  public:
    BOOL Create(int width, int height, HDC background, DWORD style) {
        background_ = background;
        const wchar_t* windowClass = winframe::RegisterWindowClassOnce(
            0, ::LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr);
        return CreateEx(0, windowClass, L"Lensbeacon", style, kDialogX, kDialogY, width, height,
                        nullptr, nullptr);
    }
    int clicks = 0;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (ReflectToControl(message, wParam, lParam, result)) {
            return result;
        }
        if (message == WM_ERASEBKGND && background_ != nullptr) {
            RECT client{};
            ::GetClientRect(Handle(), &client);
            ::BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, client.right, client.bottom, background_,
                     0, 0, SRCCOPY);
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
            ++clicks;
        }
        return DefaultProc(message, wParam, lParam);
    }

  private:
    HDC background_ = nullptr;
};

class SettingsControls : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        ASSERT_TRUE(CWndShadow::Initialize(::GetModuleHandleW(nullptr)));
    }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    void SetUp() override {
        g_languageOverride.store(kLanguageEnglish, std::memory_order_relaxed);
        ASSERT_EQ(CreateDrawingFactory(), S_OK);
        ASSERT_EQ(CreateImagingFactory(), S_OK);
        ASSERT_EQ(CreateTextFactory(), S_OK);
        ASSERT_EQ(LoadBackgroundBitmap(1.0f), S_OK);
        background_ = BitmapToMemoryDC(DrawingResources().background.Get());
        ASSERT_TRUE(background_);
    }
    void TearDown() override {
        DrawingResources().writeFactory.Reset();
        ReleaseDrawingResources();
    }

    // The test dialog, 377 by 182, showing the background.
    void ShowDialog(TestDialog& dialog) {
        ASSERT_TRUE(dialog.Create(377, 182, background_.get(), WS_POPUP | WS_VISIBLE));
        ::UpdateWindow(dialog.Handle());
    }

    static void Pump() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_TIMER) {
                continue;  // fades are stepped by the tests themselves
            }
            ::DispatchMessageW(&message);
        }
    }

    MemoryDc background_;
};

TEST_F(SettingsControls, CloseButtonComposesItsLooksOverTheBackground) {
    TestDialog dialog;
    ShowDialog(dialog);
    HWND item = ::CreateWindowExW(0, L"BUTTON", L"X", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 343, 0,
                                  40, 20, dialog.Handle(), reinterpret_cast<HMENU>(kButtonId),
                                  ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(item, nullptr);
    CD2DButton button;
    ASSERT_TRUE(button.AttachToDialog(dialog.Handle(), kButtonId));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(item, GWL_STYLE)) & BS_TYPEMASK,
              static_cast<DWORD>(BS_OWNERDRAW));
    ASSERT_EQ(button.InitImages(DrawingResources().background.Get(), 1.0f), 1);
    EXPECT_EQ(button.Width(), 34);
    EXPECT_EQ(button.Height(), 34);
    EXPECT_EQ(DrawingUserCount(), 1);
    ::MoveWindow(item, 343, 0, button.Width(), button.Height(), FALSE);
    ::RedrawWindow(item, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(button.Built());
    // Composing released the images and left the drawing users.
    EXPECT_EQ(DrawingUserCount(), 0);

    // Normal: the grey cross over the white background.
    EXPECT_TRUE(Near(::GetPixel(button.DisplayPicture(), 17, 17), 110, 118, 129));
    EXPECT_TRUE(Near(::GetPixel(button.DisplayPicture(), 2, 2), 255, 255, 255));
    // Pressed: the dark cross, and its faint disc over white.
    EXPECT_TRUE(Near(::GetPixel(button.LookPicture(kLookPressed), 17, 17), 36, 41, 47));
    EXPECT_TRUE(Near(::GetPixel(button.LookPicture(kLookPressed), 10, 10), 233, 233, 233, 3));

    // On screen, the button shows what it composed.
    const RECT area{kDialogX + 343, kDialogY, kDialogX + 377, kDialogY + 34};
    const test::ScreenPixels shot = test::CaptureScreen(area);
    ASSERT_EQ(shot.width, 34);
    SaveShot(shot, L"settings_close_button.png");
    EXPECT_TRUE(Near(ScreenColour(shot, 17, 17), 110, 118, 129));
    EXPECT_TRUE(Near(ScreenColour(shot, 2, 2), 255, 255, 255));

    // Pressing cross-fades: 51 of 255 of the pressed look over the snapshot,
    // then 102, 153, 204 on the timer, then the pressed look itself.
    ::SendMessageW(item, WM_MOUSEMOVE, 0, MAKELPARAM(17, 17));
    ::SetCursorPos(area.left + 17, area.top + 17);
    ::SendMessageW(item, WM_MOUSEHOVER, 0, MAKELPARAM(17, 17));
    for (int tick = 0; tick < 4; ++tick) {
        ::SendMessageW(item, WM_TIMER, CD2DButton::kFadeTimer, 0);
    }
    EXPECT_EQ(button.Look(), kLookHover);
    EXPECT_FALSE(button.Fading());
    ::UpdateWindow(item);
    ::SendMessageW(item, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(17, 17));
    EXPECT_EQ(button.Look(), kLookPressed);
    ASSERT_TRUE(button.Fading());
    const int expected[] = {95, 80, 66, 51};
    for (int frame = 0; frame < 4; ++frame) {
        EXPECT_NEAR(Red(::GetPixel(button.DisplayPicture(), 17, 17)), expected[frame], 4)
            << "frame " << frame;
        ::SendMessageW(item, WM_TIMER, CD2DButton::kFadeTimer, 0);
    }
    EXPECT_FALSE(button.Fading());
    EXPECT_TRUE(Near(::GetPixel(button.DisplayPicture(), 17, 17), 36, 41, 47));
    ::SendMessageW(item, WM_LBUTTONUP, 0, MAKELPARAM(17, 17));
    EXPECT_EQ(dialog.clicks, 1);
    EXPECT_EQ(button.Look(), kLookHover);

    // A double click counts as two clicks.
    button.SetAnimate(false);
    ::SendMessageW(item, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(17, 17));
    ::SendMessageW(item, WM_LBUTTONUP, 0, MAKELPARAM(17, 17));
    ::SendMessageW(item, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(17, 17));
    ::SendMessageW(item, WM_LBUTTONUP, 0, MAKELPARAM(17, 17));
    EXPECT_EQ(dialog.clicks, 3);
    // Not animated: a change of look shows at once.
    ::SendMessageW(item, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.Fading());
    EXPECT_TRUE(Near(::GetPixel(button.DisplayPicture(), 17, 17), 110, 118, 129));
    button.ReleaseImages();
    EXPECT_EQ(DrawingUserCount(), 0);
}

TEST_F(SettingsControls, CloseButtonWithoutItsImageDrawsNothing) {
    TestDialog dialog;
    ShowDialog(dialog);
    ::CreateWindowExW(0, L"BUTTON", L"X", WS_CHILD | WS_VISIBLE, 343, 0, 34, 34, dialog.Handle(),
                      reinterpret_cast<HMENU>(kButtonId), ::GetModuleHandleW(nullptr), nullptr);
    CD2DButton button;
    ASSERT_TRUE(button.AttachToDialog(dialog.Handle(), kButtonId));
    DrawingResources().wicFactory.Reset();  // no images can be decoded
    EXPECT_EQ(button.InitImages(nullptr, 1.0f), 0);
    ::RedrawWindow(button.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_FALSE(button.Built());
    EXPECT_EQ(button.DisplayPicture(), nullptr);
    button.ReleaseImages();
    button.ReleaseImages();
    EXPECT_EQ(DrawingUserCount(), 0);
}

// Dark pixels (the grey text) inside a label-sized picture.
int DarkPixels(HDC dc, int width, int height) {
    int dark = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (Red(::GetPixel(dc, x, y)) < 200) {
                ++dark;
            }
        }
    }
    return dark;
}

TEST_F(SettingsControls, LabelShowsTheWordOfThePositionAndSwapsOnTheMessage) {
    TestDialog dialog;
    ShowDialog(dialog);
    const wchar_t* texts[2] = {GetLocalizedText(kTextOff), GetLocalizedText(kTextOn)};
    CStaticTextWnd label;
    ASSERT_TRUE(label.CreateLabel(dialog.Handle(), background_.get(), texts, 168, 136, 72, 34, 1));
    EXPECT_EQ(g_hTipLabel, label.Handle());
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(label.Handle(), GWL_STYLE)),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS));
    EXPECT_EQ(label.Count(), 2);
    EXPECT_EQ(label.Shown(), 1);
    for (int i = 0; i < 2; ++i) {
        const TextPatch& patch = label.Patch(i);
        EXPECT_GT(patch.width, 4) << i;
        EXPECT_GT(patch.height, 4) << i;
        EXPECT_LE(patch.x + patch.width, 72) << i;
        // Centred in the box.
        EXPECT_NEAR(patch.x + patch.width / 2, 36, 2) << i;
        EXPECT_NEAR(patch.y + patch.height / 2, 17, 3) << i;
    }
    HDC composed = label.ComposedPicture();
    const int onDark = DarkPixels(composed, 72, 34);
    EXPECT_GT(onDark, 10);
    EXPECT_EQ(onDark,
              DarkPixels(label.TextPicture(1), label.Patch(1).width, label.Patch(1).height));

    ::UpdateWindow(label.Handle());
    const RECT area{kDialogX + 168, kDialogY + 136, kDialogX + 240, kDialogY + 170};
    test::ScreenPixels shot = test::CaptureScreen(area);
    SaveShot(shot, L"settings_label_on.png");
    ASSERT_EQ(shot.width, 72);
    int screenDark = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            screenDark += Red(ScreenColour(shot, x, y)) < 200 ? 1 : 0;
        }
    }
    EXPECT_EQ(screenDark, onDark);

    // Ignored: another wParam, an index without a text, the shown index.
    ::SendMessageW(label.Handle(), WM_SWITCH_POSITION, 0, 0);
    ::SendMessageW(label.Handle(), WM_SWITCH_POSITION, 1, 2);
    ::SendMessageW(label.Handle(), WM_SWITCH_POSITION, 1, -1);
    EXPECT_EQ(label.Shown(), 1);
    EXPECT_FALSE(label.ShowText(1));

    ::PostMessageW(g_hTipLabel, WM_SWITCH_POSITION, 1, 0);
    Pump();
    EXPECT_EQ(label.Shown(), 0);
    const int offDark = DarkPixels(composed, 72, 34);
    EXPECT_EQ(offDark,
              DarkPixels(label.TextPicture(0), label.Patch(0).width, label.Patch(0).height));
    shot = test::CaptureScreen(area);
    SaveShot(shot, L"settings_label_off.png");
    screenDark = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            screenDark += Red(ScreenColour(shot, x, y)) < 200 ? 1 : 0;
        }
    }
    EXPECT_EQ(screenDark, offDark);

    label.CleanUp();
    EXPECT_FALSE(label.Created());
    EXPECT_EQ(label.Handle(), nullptr);
    EXPECT_EQ(g_hTipLabel, nullptr);
}

// The switch, with what it would tell the service counted instead.
class CountingSelector : public CSelectorWndEx2 {
  public:
    std::vector<bool> published;

  private:
    void Publish(bool on) override { published.push_back(on); }
};

// The track's accent (blue) shows at its left end only while the knob is
// right; the white knob covers it while left.
bool ShowsOn(COLORREF colour) {
    return static_cast<int>(GetBValue(colour)) > Red(colour) + 60;
}

// Runs the message loop, timers included, until `done` or two seconds pass.
template <typename Done>
bool PumpUntil(Done done) {
    const ULONGLONG end = ::GetTickCount64() + 2000;
    while (!done()) {
        if (::GetTickCount64() >= end) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

TEST_F(SettingsControls, SwitchFollowsClicksAndTheRealPointer) {
    TestDialog dialog;
    ShowDialog(dialog);
    CountingSelector selector;
    ASSERT_TRUE(selector.CreateSelector(dialog.Handle(), background_.get(), 240, 136, 100, 34, 0, 0,
                                        1.0f, 2, 1));
    EXPECT_FALSE(selector.CreateSelector(dialog.Handle(), background_.get(), 0, 0, 100, 34, 0, 0,
                                         1.0f, 2, 1));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(selector.Handle(), GWL_STYLE)), 0x54010000u);
    EXPECT_EQ(::GetDlgCtrlID(selector.Handle()), 0);
    EXPECT_EQ(selector.Core().Travel(), 47);
    EXPECT_TRUE(selector.HasFadePictures());
    EXPECT_TRUE(ShowsOn(::GetPixel(selector.BackBuffer(), 20, 17)));
    ::UpdateWindow(selector.Handle());
    const RECT area{kDialogX + 240, kDialogY + 136, kDialogX + 340, kDialogY + 170};
    test::ScreenPixels shot = test::CaptureScreen(area);
    SaveShot(shot, L"settings_switch_on.png");
    ASSERT_EQ(shot.width, 100);
    EXPECT_TRUE(ShowsOn(ScreenColour(shot, 20, 17)));

    // A click left of the On knob, without a move before it, steps to Off.
    // The press fades the pressed look in on the real timer: the first frame
    // lies between the two looks, near the normal one.
    const COLORREF normal = ::GetPixel(selector.BackBuffer(), 20, 17);
    ::SendMessageW(selector.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 17));
    EXPECT_TRUE(selector.Core().Animating());
    const COLORREF first = ::GetPixel(selector.BackBuffer(), 20, 17);
    EXPECT_TRUE(PumpUntil([&] { return !selector.Core().Animating(); }));
    const COLORREF pressed = ::GetPixel(selector.BackBuffer(), 20, 17);
    EXPECT_NE(normal, pressed);
    const auto between = [](int a, int b, int value) {
        return value >= std::min(a, b) - 3 && value <= std::max(a, b) + 3 &&
               std::abs(value - a) <= std::abs(value - b) + 3;
    };
    EXPECT_TRUE(between(Red(normal), Red(pressed), Red(first)));
    EXPECT_TRUE(between(GetGValue(normal), GetGValue(pressed), GetGValue(first)));
    EXPECT_TRUE(between(GetBValue(normal), GetBValue(pressed), GetBValue(first)));
    ::SendMessageW(selector.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 17));
    EXPECT_EQ(selector.Position(), 0);
    EXPECT_EQ(selector.published, std::vector<bool>{false});
    EXPECT_TRUE(PumpUntil([&] { return !selector.Core().Animating(); }));
    EXPECT_FALSE(ShowsOn(::GetPixel(selector.BackBuffer(), 20, 17)));
    EXPECT_TRUE(Near(::GetPixel(selector.BackBuffer(), 20, 17), 255, 255, 255, 8));

    // The keys' step, then a real click of the pointer on the track.
    EXPECT_TRUE(selector.SetPosition(1, FALSE, TRUE));
    EXPECT_EQ(selector.published, (std::vector<bool>{false, true}));
    ASSERT_TRUE(test::ClickAt(area.left + 10, area.top + 17));
    EXPECT_TRUE(PumpUntil([&] { return selector.Position() == 0; }));
    EXPECT_EQ(selector.published, (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(PumpUntil([&] { return !selector.Core().Animating(); }));
    shot = test::CaptureScreen(area);
    SaveShot(shot, L"settings_switch_off.png");
    EXPECT_FALSE(ShowsOn(ScreenColour(shot, 20, 17)));

    // Disabled: no key step; enabled again: the step works.
    EXPECT_TRUE(selector.EnableSelector(FALSE));
    EXPECT_FALSE(selector.EnableSelector(FALSE));
    EXPECT_FALSE(selector.SetPosition(1, FALSE, TRUE));
    EXPECT_TRUE(selector.EnableSelector(TRUE));
    EXPECT_TRUE(selector.SetPosition(2, FALSE, FALSE));
    EXPECT_EQ(selector.Position(), 1);

    selector.CleanUp();
    EXPECT_FALSE(selector.Created());
    EXPECT_EQ(selector.Handle(), nullptr);
    EXPECT_EQ(selector.BackBuffer(), nullptr);
    EXPECT_FALSE(selector.SetPosition(0, FALSE, TRUE));
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

TEST_F(SettingsControls, ShadowStripsFrameAndFollowTheirOwner) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(377, 182, background_.get(), WS_POPUP));
    auto* shadow = new CWndShadow;
    shadow->SetScale(1.0f);
    ASSERT_TRUE(shadow->AttachToOwner(dialog.Handle()));
    EXPECT_EQ(CWndShadow::FromOwner(dialog.Handle()), shadow);
    EXPECT_EQ(shadow->Status(), kShadowEnabled);
    const int widths[] = {9, 9, 395, 395};
    const int heights[] = {182, 182, 9, 9};
    for (int i = 0; i < kShadowStripCount; ++i) {
        ASSERT_NE(shadow->StripAt(i).window, nullptr) << i;
        EXPECT_EQ(shadow->StripAt(i).width, widths[i]) << i;
        EXPECT_EQ(shadow->StripAt(i).height, heights[i]) << i;
        EXPECT_FALSE(::IsWindowVisible(shadow->StripAt(i).window)) << i;
        const auto exStyle =
            static_cast<DWORD>(::GetWindowLongW(shadow->StripAt(i).window, GWL_EXSTYLE));
        EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT),
                  static_cast<DWORD>(WS_EX_LAYERED | WS_EX_TRANSPARENT));
    }
    // A second shadow cannot attach to the same owner.
    CWndShadow second;
    EXPECT_FALSE(second.AttachToOwner(dialog.Handle()));

    ::ShowWindow(dialog.Handle(), SW_SHOWNA);
    EXPECT_EQ(shadow->Status(), kShadowEnabled | kShadowShown | kShadowOwnerVisible);
    ::UpdateWindow(dialog.Handle());
    EXPECT_FALSE(shadow->UpdatePending());
    const LONG left = kDialogX - 9;
    RECT strip = WindowRect(shadow->StripAt(kStripLeft).window);
    EXPECT_EQ(strip.left, left);
    EXPECT_EQ(strip.top, kDialogY);
    EXPECT_EQ(strip.bottom - strip.top, 182);
    strip = WindowRect(shadow->StripAt(kStripTop).window);
    EXPECT_EQ(strip.left, left);
    EXPECT_EQ(strip.top, kDialogY - 9);
    EXPECT_EQ(strip.right - strip.left, 395);
    strip = WindowRect(shadow->StripAt(kStripBottom).window);
    EXPECT_EQ(strip.top, kDialogY + 182);
    EXPECT_TRUE(::IsWindowVisible(shadow->StripAt(kStripRight).window));

    // Moving the dialog moves the strips with it, at their size.
    ::SetWindowPos(dialog.Handle(), nullptr, kDialogX + 50, kDialogY + 20, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    strip = WindowRect(shadow->StripAt(kStripRight).window);
    EXPECT_EQ(strip.left, kDialogX + 50 + 377);
    EXPECT_EQ(strip.top, kDialogY + 20);
    EXPECT_EQ(strip.right - strip.left, 9);
    shadow->SetAlpha(0, dialog.Handle());
    EXPECT_EQ(shadow->Alpha(), 0);
    EXPECT_TRUE(::IsWindow(shadow->StripAt(kStripRight).window));

    // Deleted before its owner: the owner goes on without it.
    HWND rightStrip = shadow->StripAt(kStripRight).window;
    delete shadow;
    EXPECT_FALSE(::IsWindow(rightStrip));
    EXPECT_EQ(CWndShadow::FromOwner(dialog.Handle()), nullptr);
    ::SetWindowPos(dialog.Handle(), nullptr, kDialogX, kDialogY, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(dialog.DestroyWindow());
}

TEST_F(SettingsControls, ShadowStripsGoWithTheirOwner) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(377, 182, background_.get(), WS_POPUP));
    CWndShadow shadow;
    ASSERT_TRUE(shadow.AttachToOwner(dialog.Handle()));
    HWND owner = dialog.Handle();
    HWND strips[kShadowStripCount];
    for (int i = 0; i < kShadowStripCount; ++i) {
        strips[i] = shadow.StripAt(i).window;
    }
    ASSERT_TRUE(dialog.DestroyWindow());
    for (HWND strip : strips) {
        EXPECT_FALSE(::IsWindow(strip));
    }
    EXPECT_EQ(CWndShadow::FromOwner(owner), nullptr);
    EXPECT_EQ(shadow.Owner(), nullptr);
}

}  // namespace
}  // namespace lensbeacon::settings
