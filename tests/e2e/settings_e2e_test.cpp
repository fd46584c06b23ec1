// The real settings program, Lensdial, against the real service: the switch
// read from and written to the service's events, the language option, the
// Off/On label, single instance, closing, and the size at 144 dots per inch.
// Keys are posted into the dialog's message loop; clicks are real pointer
// input on the Xvfb screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "accessibility_probe.h"
#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "pointer_input.h"
#include "probe_programs.h"
#include "registry_sandbox.h"
#include "screen_capture.h"
#include "lensbeacon/localized_texts.h"

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kAppear = 15s;
constexpr wchar_t kDialogClass[] = L"Lensbeacon Control App Class";
constexpr UINT kCloseCommand = 32771;
constexpr wchar_t kDpiKey[] =
    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";

HWND FindDialog() {
    return ::FindWindowW(kDialogClass, nullptr);
}

// Open, and done fading in: the fade makes the window layered and disabled
// while it runs.
bool DialogSettled() {
    HWND dialog = FindDialog();
    return dialog != nullptr && ::IsWindowVisible(dialog) && ::IsWindowEnabled(dialog) &&
           (::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
}

int Scaled(int value, float scale) {
    return static_cast<int>(static_cast<float>(value) * scale + 0.5f);
}

struct Channel {
    int red = 0;
    int green = 0;
    int blue = 0;
};

Channel At(const ScreenPixels& image, int x, int y) {
    const std::uint32_t pixel = image.At(x, y);
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

class SettingsEndToEnd : public ::testing::Test {
  protected:
    void TearDown() override {
        for (UniqueProcessInformation* program : {&dialog, &second}) {
            if (program->process && !Signaled(program->process.get())) {
                ::TerminateProcess(program->process.get(), 1);
                ::WaitForSingleObject(program->process.get(), 5000);
            }
        }
    }

    void InstallService() {
        settings.CreateKey();
        ASSERT_EQ(suite.Installer(L"-i"), 0u);
        ASSERT_TRUE(WaitForSuiteEvents(kAppear)) << "the service did not create its events";
    }

    UniqueProcessInformation Start(const std::wstring& arguments) {
        const std::wstring program = suite.folder() + L"Lensdial.exe";
        return StartCommandLine(program, L"\"" + program + L"\" " + arguments);
    }

    void Open(const std::wstring& arguments = L"", float expectedScale = 1.0f) {
        scale = expectedScale;
        dialog = Start(arguments);
        ASSERT_TRUE(dialog.process);
        ASSERT_TRUE(WaitUntil(DialogSettled, kAppear)) << "the dialog did not open";
        window = FindDialog();
    }

    RECT DialogRect() const {
        RECT rect{};
        EXPECT_TRUE(::GetWindowRect(window, &rect));
        return rect;
    }

    // The switch's area on the screen.
    RECT SwitchRect() const {
        const RECT dialogRect = DialogRect();
        const int left = dialogRect.left + Scaled(260, scale);
        const int top = dialogRect.top + Scaled(136, scale);
        return RECT{left, top, left + Scaled(100, scale), top + Scaled(34, scale)};
    }

    // The colour at the track's left end. On: the knob is right and the
    // track's accent shows there; Off: the white knob covers it.
    Channel SwitchLeftEnd() const {
        const ScreenPixels image = CaptureScreen(SwitchRect());
        if (image.width == 0) {
            return {};
        }
        return At(image, Scaled(20, scale), Scaled(17, scale));
    }

    bool SwitchShowsOn() const {
        const Channel left = SwitchLeftEnd();
        return left.blue > left.red + 60;
    }

    bool SwitchShowsOff() const {
        const Channel left = SwitchLeftEnd();
        return left.red > 200 && left.green > 200 && left.blue > 200;
    }

    // The switch's pixels, its whole window.
    static ScreenPixels SwitchPixels(HWND switchWindow) {
        RECT rect{};
        if (!::GetWindowRect(switchWindow, &rect)) {
            return {};
        }
        return CaptureScreen(rect);
    }

    // Whether the switch shows `resting` with its focus rectangle over it:
    // the rectangle, one pixel in from the edge, inverts every other pixel
    // of its line, so each of those is the resting pixel or its inverse and
    // every other pixel is the resting one. A step of the track's
    // cross-fade changes pixels by as little as one value, the rectangle's
    // line included.
    static bool ShowsWithFocusRing(const ScreenPixels& shown, const ScreenPixels& resting) {
        if (shown.width != resting.width || shown.height != resting.height || shown.width < 4 ||
            shown.height < 4) {
            return false;
        }
        const int right = shown.width - 2;
        const int bottom = shown.height - 2;
        for (int y = 0; y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                const std::uint32_t now = shown.At(x, y);
                const std::uint32_t rest = resting.At(x, y);
                const bool onRing = ((x == 1 || x == right) && y >= 1 && y <= bottom) ||
                                    ((y == 1 || y == bottom) && x >= 1 && x <= right);
                if (now != rest && !(onRing && now == (rest ^ 0x00FFFFFFu))) {
                    return false;
                }
            }
        }
        return true;
    }

    // The label's area, left of the switch.
    ScreenPixels LabelPixels() const {
        const RECT dialogRect = DialogRect();
        const int left = dialogRect.left + Scaled(168, scale);
        const int top = dialogRect.top + Scaled(136, scale);
        return CaptureScreen(RECT{left, top, left + Scaled(72, scale), top + Scaled(34, scale)});
    }

    // The same key press the user makes, through the dialog's message loop.
    void PressKey(UINT key) const {
        ASSERT_TRUE(::PostMessageW(window, WM_KEYDOWN, key, 1));
        // Repeat count 1, previous state down, key being released.
        constexpr auto kKeyUp = static_cast<LPARAM>(static_cast<LONG>(0xC0000001u));
        ASSERT_TRUE(::PostMessageW(window, WM_KEYUP, key, kKeyUp));
    }

    void SaveShot(const wchar_t* name) const {
        const std::wstring folder = ScreenshotFolder();
        RECT rect = DialogRect();
        // With the shadow round it, over the screen's background.
        const int margin = Scaled(12, scale);
        rect =
            RECT{rect.left - margin, rect.top - margin, rect.right + margin, rect.bottom + margin};
        const ScreenPixels image = CaptureScreen(rect);
        ASSERT_GT(image.width, 0);
        if (!folder.empty()) {
            EXPECT_TRUE(SavePng(image, folder + name));
        }
    }

    bool ShowOsdIs(DWORD expected) const {
        DWORD type = 0;
        std::vector<unsigned char> data;
        return settings.Read(kShowOsdValue, type, data) && type == REG_DWORD && data.size() == 4 &&
               data[0] == expected && data[1] == 0 && data[2] == 0 && data[3] == 0;
    }

    RegistrySandbox settings{kSettingsKey};
    InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe", L"Lensdial.exe"};
    UniqueProcessInformation dialog;
    UniqueProcessInformation second;
    HWND window = nullptr;
    float scale = 1.0f;
};

TEST_F(SettingsEndToEnd, TheSwitchFollowsAndDrivesTheService) {
    InstallService();
    UniqueHandle enable = OpenSuiteEvent(kSettingEnableEventName);
    ASSERT_TRUE(enable);
    Open(L"-Lang=1");
    const RECT rect = DialogRect();
    EXPECT_EQ(rect.right - rect.left, 377);
    EXPECT_EQ(rect.bottom - rect.top, 182);
    EXPECT_TRUE(SwitchShowsOn()) << "the service's switch is on";
    SaveShot(L"settings_english.png");

    // A click on the track left of the On knob steps it to Off.
    const RECT track = SwitchRect();
    ASSERT_TRUE(ClickAt(track.left + 10, track.top + 17));
    EXPECT_TRUE(WaitUntil([this] { return ShowOsdIs(0); }, 5s)) << "the service was not told";
    EXPECT_FALSE(Signaled(enable.get()));
    EXPECT_TRUE(WaitUntil([this] { return SwitchShowsOff(); }, 2s));

    // Right arrow turns it on again.
    PressKey(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([this] { return ShowOsdIs(1); }, 5s));
    EXPECT_TRUE(Signaled(enable.get()));
    EXPECT_TRUE(WaitUntil([this] { return SwitchShowsOn(); }, 2s));
    // F1 is answered and does nothing.
    HELPINFO help{};
    help.cbSize = sizeof(help);
    help.iContextType = HELPINFO_WINDOW;
    help.hItemHandle = window;
    EXPECT_EQ(::SendMessageW(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), 0);
    EXPECT_TRUE(DialogSettled());
}

TEST_F(SettingsEndToEnd, WithoutTheServiceTheSwitchIsOffAndIgnoresInput) {
    Open();
    ASSERT_TRUE(SwitchShowsOff());
    const RECT track = SwitchRect();
    ASSERT_TRUE(ClickAt(track.right - 10, track.top + 17));
    PressKey(VK_RIGHT);
    // Both inputs went through the dialog's loop once this answer comes back.
    ::SendMessageW(window, WM_NULL, 0, 0);
    EXPECT_TRUE(SwitchShowsOff());
}

TEST_F(SettingsEndToEnd, ASecondStartBringsTheFirstForward) {
    Open();
    second = Start(L"");
    ASSERT_TRUE(second.process);
    EXPECT_TRUE(Signaled(second.process.get(), 10000)) << "the second instance stayed";
    EXPECT_EQ(::GetForegroundWindow(), window);
    int dialogs = 0;
    for (HWND found = nullptr; (found = ::FindWindowExW(nullptr, found, kDialogClass, nullptr));) {
        ++dialogs;
    }
    EXPECT_EQ(dialogs, 1);
}

TEST_F(SettingsEndToEnd, GermanWithTheLabelThatFollowsTheSwitch) {
    InstallService();
    settings.SetDword(kShowCfgTipValue, 1);
    Open(L"-Lang=5");
    const ScreenPixels on = LabelPixels();
    ASSERT_GT(on.width, 0);
    SaveShot(L"settings_german.png");
    PressKey(VK_LEFT);
    ASSERT_TRUE(WaitUntil([this] { return ShowOsdIs(0); }, 5s));
    ASSERT_TRUE(WaitUntil([&] { return LabelPixels().pixels != on.pixels; }, 2s))
        << "the label did not follow the switch";
    SaveShot(L"settings_german_off.png");
}

TEST_F(SettingsEndToEnd, TheTitleBandDragsTheWindow) {
    Open();
    const RECT before = DialogRect();
    // Below the band the window stays where it is. The release is where the
    // drag below ends: Wine may replay the pointer's move to it late, as
    // the dialog's own input, and there it moves the window nowhere else.
    ASSERT_TRUE(PressAt(before.left + 100, before.top + 100));
    ASSERT_TRUE(ReleaseAt(before.left + 160, before.top + 60));
    ::SendMessageW(window, WM_NULL, 0, 0);
    EXPECT_EQ(DialogRect().left, before.left);

    ASSERT_TRUE(PressAt(before.left + 100, before.top + 20));
    // The button stays down until the system's move loop runs.
    ASSERT_TRUE(WaitUntil(
        [this] {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            return ::GetGUIThreadInfo(dialog.threadId, &info) && (info.flags & GUI_INMOVESIZE) != 0;
        },
        5s))
        << "no move loop";
    ASSERT_TRUE(ReleaseAt(before.left + 160, before.top + 60));
    EXPECT_TRUE(WaitUntil([&] { return DialogRect().left == before.left + 60; }, 5s))
        << "moved to " << DialogRect().left << ", " << DialogRect().top;
    EXPECT_EQ(DialogRect().top, before.top + 40);
}

TEST_F(SettingsEndToEnd, EscapeFadesTheDialogOutAndEndsTheProgram) {
    Open(L"-Lang=13");
    SaveShot(L"settings_arabic.png");
    PressKey(VK_ESCAPE);
    // The fade makes the window layered for the 150 ms it runs.
    EXPECT_TRUE(WaitUntil(
        [] {
            HWND found = FindDialog();
            return found != nullptr && (::GetWindowLongW(found, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        },
        5s))
        << "no fade";
    ASSERT_TRUE(Signaled(dialog.process.get(), 10000)) << "the program did not end";
    EXPECT_EQ(FindDialog(), nullptr);
}

TEST_F(SettingsEndToEnd, At144DotsPerInchEverythingGrowsByAQuarter) {
    // A new process reads the screen's dots per inch from here at start.
    RegistrySandbox dpi{kDpiKey};
    dpi.SetDword(L"LogPixels", 144);
    Open(L"-Lang=8", 1.25f);
    const RECT rect = DialogRect();
    EXPECT_EQ(rect.right - rect.left, 471);
    EXPECT_EQ(rect.bottom - rect.top, 228);
    SaveShot(L"settings_japanese_144dpi.png");
    ::PostMessageW(window, WM_COMMAND, kCloseCommand, 0);
    EXPECT_TRUE(Signaled(dialog.process.get(), 10000));
}

// The window of this process's dialog thread that has the keyboard focus.
HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = ::GetWindowThreadProcessId(dialog, nullptr);
    return thread != 0 && ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

TEST_F(SettingsEndToEnd, AScreenReaderAndTheKeyboardReachTheSwitchAndTheCloseButton) {
    InstallService();
    settings.SetDword(kShowCfgTipValue, 1);
    // The pointer away from the dialog, so that the switch opens unhovered.
    ASSERT_TRUE(MoveTo(0, 0));
    Open(L"-Lang=1");
    const RECT track = SwitchRect();
    HWND switchWindow = ::WindowFromPoint(POINT{track.left + 50, track.top + 17});
    ASSERT_NE(switchWindow, window);
    HWND label = ::WindowFromPoint(POINT{track.left - 40, track.top + 17});
    // The switch on and at rest, as it shows again once Space has turned it
    // back on and the track's cross-fade from the click has ended.
    const ScreenPixels restingOn = SwitchPixels(switchWindow);
    ASSERT_GT(restingOn.width, 0);
    WinEventRecorder events(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE,
                            ::GetProcessId(dialog.process.get()));
    ASSERT_TRUE(events.Hooked());

    // The keyboard starts on the switch, a checked check button named for
    // the description.
    EXPECT_EQ(FocusOf(window), switchWindow);
    AccessibleFacts facts = ClientAccessible(switchWindow);
    ASSERT_TRUE(facts.read);
    EXPECT_EQ(facts.role, ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_EQ(facts.name, GetLocalizedText(kLanguageEnglish, kTextDescription));
    EXPECT_EQ(facts.state & (STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED |
                             STATE_SYSTEM_UNAVAILABLE),
              STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);

    // A click turns it off: the state follows and the change is announced.
    ASSERT_TRUE(ClickAt(track.left + 10, track.top + 17));
    EXPECT_NE(events.WaitFor(EVENT_OBJECT_STATECHANGE, switchWindow, 5000), nullptr);
    EXPECT_TRUE(WaitUntil([this] { return ShowOsdIs(0); }, 5s));
    EXPECT_EQ(ClientAccessible(switchWindow).state & STATE_SYSTEM_CHECKED, 0);

    // Space on the focused switch turns it on again, as a click would.
    events.Clear();
    ASSERT_TRUE(::PostMessageW(FocusOf(window), WM_KEYDOWN, VK_SPACE, 1));
    EXPECT_NE(events.WaitFor(EVENT_OBJECT_STATECHANGE, switchWindow, 5000), nullptr);
    EXPECT_TRUE(WaitUntil([this] { return ShowOsdIs(1); }, 5s));
    EXPECT_NE(ClientAccessible(switchWindow).state & STATE_SYSTEM_CHECKED, 0);
    // The click's press and release each start a 250 ms cross-fade of the
    // track; the picture waits for its last step, which shows the resting
    // track exactly, and for the label's On.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ShowsWithFocusRing(SwitchPixels(switchWindow), restingOn) &&
                   ClientAccessible(label).name == GetLocalizedText(kLanguageEnglish, kTextOn);
        },
        5s))
        << "the switch did not come to rest";
    // Once a key was pressed, the focus rectangle shows.
    SaveShot(L"settings_focus.png");

    // Tab moves on to the close button, which is named "Close".
    ASSERT_TRUE(::PostMessageW(switchWindow, WM_KEYDOWN, VK_TAB, 1));
    ASSERT_TRUE(WaitUntil([this, switchWindow] { return FocusOf(window) != switchWindow; }, 5s));
    facts = ClientAccessible(FocusOf(window));
    EXPECT_EQ(facts.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(facts.name, L"Close");

    // The label reads as the word it shows.
    facts = ClientAccessible(label);
    EXPECT_EQ(facts.role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(facts.name, GetLocalizedText(kLanguageEnglish, kTextOn));
}

// Every language at 96 and at 144 dots per inch, with the label, saved for a
// byte-for-byte comparison of the dialog's pictures between builds.
class SettingsEveryLanguage : public SettingsEndToEnd {
  protected:
    void ShootEveryLanguage(const wchar_t* suffix, float expectedScale) {
        for (int language = 1; language <= 20; ++language) {
            // The pointer away from the dialog, so that nothing is hovered.
            ASSERT_TRUE(MoveTo(0, 0));
            Open(L"-Lang=" + std::to_wstring(language), expectedScale);
            // Open once it has faded in: nothing else moves at rest.
            ::SendMessageW(window, WM_NULL, 0, 0);
            const std::wstring name = L"settings_lang" + std::to_wstring(language) + suffix;
            SaveShot(name.c_str());
            ::PostMessageW(window, WM_COMMAND, kCloseCommand, 0);
            ASSERT_TRUE(Signaled(dialog.process.get(), 10000)) << "language " << language;
        }
    }
};

TEST_F(SettingsEveryLanguage, At96DotsPerInch) {
    InstallService();
    settings.SetDword(kShowCfgTipValue, 1);
    ShootEveryLanguage(L"_96dpi.png", 1.0f);
}

TEST_F(SettingsEveryLanguage, At144DotsPerInch) {
    InstallService();
    settings.SetDword(kShowCfgTipValue, 1);
    RegistrySandbox dpi{kDpiKey};
    dpi.SetDword(L"LogPixels", 144);
    ShootEveryLanguage(L"_144dpi.png", 1.25f);
}

}  // namespace
}  // namespace lensbeacon::test
