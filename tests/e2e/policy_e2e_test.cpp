// The organisation's policy end to end: the real service and settings dialog
// with a simulated camera, each value written as the shipped ADMX defines it.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "accessibility_probe.h"
#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "lensbeacon/localized_texts.h"
#include "pointer_input.h"
#include "probe_programs.h"
#include "registry_sandbox.h"
#include "screen_capture.h"
#include "simulated_camera.h"

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

// The <decimal value="N" /> in `state` ("enabledValue", "disabledValue") of
// the ADMX policy whose valueName is `name`.
DWORD AdmxValue(const std::string& name, const std::string& state) {
    std::ifstream file(std::filesystem::path(DistFolder() + L"policy\\Lensbeacon.admx"));
    const std::string admx = (std::ostringstream() << file.rdbuf()).str();
    const std::size_t policy = admx.find("valueName=\"" + name + "\"");
    const std::size_t at = admx.find("<decimal value=\"", admx.find("<" + state + ">", policy));
    EXPECT_LT(at, admx.find("</policy>", policy)) << name << " " << state;
    return at < admx.size() ? static_cast<DWORD>(std::stoul(admx.substr(at + 16))) : ~0u;
}

class PolicyEndToEnd : public ::testing::Test {
  protected:
    void TearDown() override {
        if (dialog.process && ::TerminateProcess(dialog.process.get(), 1)) {
            ::WaitForSingleObject(dialog.process.get(), 5000);
        }
    }
    void Install(CameraPower power) {
        camera.SetPower(power);
        settings.CreateKey();
        ASSERT_EQ(suite.Installer(L"-i"), 0u);
        ASSERT_TRUE(WaitForSuiteEvents(15s));
        on = OpenSuiteEvent(kOnEventName);
        enable = OpenSuiteEvent(kSettingEnableEventName);
        ASSERT_TRUE(on && enable);
    }
    // Opens Lensdial until it has faded in (layered and disabled meanwhile).
    void Open(const wchar_t* language) {
        const std::wstring program = suite.folder() + L"Lensdial.exe";
        dialog = StartCommandLine(program, L"\"" + program + L"\" " + language);
        ASSERT_TRUE(WaitUntil(
            [this] {
                window = ::FindWindowW(L"Lensbeacon Control App Class", nullptr);
                return window && ::IsWindowVisible(window) && ::IsWindowEnabled(window) &&
                       !(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
            },
            15s));
        switchWindow = ::ChildWindowFromPointEx(window, POINT{310, 153}, CWP_ALL);
        ASSERT_NE(switchWindow, window);
    }
    RECT Part(int left, int top, int right, int bottom) const {
        RECT d{};
        EXPECT_TRUE(::GetWindowRect(window, &d));
        return RECT{d.left + left, d.top + top, d.left + right, d.top + bottom};
    }
    // The track's accent at its left end shows On; the white knob, Off.
    bool ShowsOn() const {
        const ScreenPixels s = CaptureScreen(Part(260, 136, 360, 170));
        return s.width > 0 && (s.At(20, 17) & 0xFF) > ((s.At(20, 17) >> 16) & 0xFF) + 60;
    }
    // Text (pixels darker than the white background) left of the switch:
    // the notice, or the label.
    bool TextIn(int left, int right) const {
        const ScreenPixels s = CaptureScreen(Part(left, 136, right, 170));
        return s.width > 0 && BrightPixels(s, 0, 0, s.width, s.height) < s.width * s.height;
    }
    void Shot(const wchar_t* name) const {
        if (!ScreenshotFolder().empty()) {
            EXPECT_TRUE(
                SavePng(CaptureScreen(Part(-12, -12, 389, 194)), ScreenshotFolder() + name));
        }
    }

    RegistrySandbox settings{kSettingsKey};
    RegistrySandbox policy{kPolicyKey, KEY_WOW64_64KEY};  // as Group Policy writes it
    SimulatedCamera camera{0, L"PCIROOT(0)#PCI(1400)", CameraPower::D3};
    InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe", L"Lensdial.exe"};
    UniqueProcessInformation dialog;
    HWND window = nullptr, switchWindow = nullptr;
    UniqueHandle on, enable;
};

TEST_F(PolicyEndToEnd, HeldOnTheSwitchTakesNoInputAndTheCameraStillShows) {
    settings.SetDword(kShowOsdValue, 0);  // the user's own switch is off
    policy.SetDword(kShowOsdValue, AdmxValue("ShowOSD", "enabledValue"));
    // The USB watch, which in Wine checks every second, whenever the camera starts.
    policy.SetDword(kCheckUsbCameraValue, AdmxValue("CheckUSBCamera", "enabledValue"));
    Install(CameraPower::D3);
    EXPECT_TRUE(Signaled(enable.get(), 5000));
    Open(L"-Lang=1");
    EXPECT_TRUE(ShowsOn() && TextIn(18, 160) && !::IsWindowEnabled(switchWindow));
    Shot(L"settings_managed.png");
    // A screen reader hears it checked, unavailable, and why.
    const AccessibleFacts facts = ClientAccessible(switchWindow);
    EXPECT_EQ(facts.state & (STATE_SYSTEM_CHECKED | STATE_SYSTEM_UNAVAILABLE),
              STATE_SYSTEM_CHECKED | STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(facts.description, GetManagedNotice(kLanguageEnglish));

    ASSERT_TRUE(::PostMessageW(window, WM_KEYDOWN, VK_LEFT, 1));
    const RECT track = Part(260, 136, 360, 170);
    ASSERT_TRUE(ClickAt(track.left + 10, track.top + 17));
    camera.SetPower(CameraPower::D0);
    EXPECT_TRUE(Signaled(on.get(), 5000)) << "the camera did not reach the On event";
    EXPECT_TRUE(ShowsOn() && Signaled(enable.get())) << "the held switch moved";
}

TEST_F(PolicyEndToEnd, HeldOffNothingShowsUntilThePolicyGoes) {
    settings.SetDword(kShowOsdValue, 1);
    policy.SetDword(kShowOsdValue, AdmxValue("ShowOSD", "disabledValue"));
    Install(CameraPower::D0);
    EXPECT_FALSE(Signaled(on.get(), 3000)) << "the camera showed while held off";
    Open(L"-Lang=13");  // right to left: the notice stands against the switch
    EXPECT_TRUE(!ShowsOn() && TextIn(18, 160) && !::IsWindowEnabled(switchWindow));
    Shot(L"settings_managed_arabic_off.png");

    policy.DeleteKey();  // the user's switch governs again, and the watch starts
    EXPECT_TRUE(Signaled(enable.get(), 2000)) << "the user's switch did not govern again";
    EXPECT_TRUE(Signaled(on.get(), 5000));
    policy.SetDword(kShowOsdValue, AdmxValue("ShowOSD", "disabledValue"));
    UniqueHandle off = OpenSuiteEvent(kOffEventName);
    EXPECT_TRUE(Signaled(off.get(), 2000)) << "the indicator was not hidden at once";
}

TEST_F(PolicyEndToEnd, MalformedPolicyValuesAreNotConfigured) {
    // Read blind to type or size, these would hold the switch off and show
    // the label.
    const unsigned char zeros[4] = {};
    policy.SetRaw(kShowOsdValue, REG_SZ, zeros, sizeof(zeros));
    const ULONGLONG one = 1;
    policy.SetRaw(kShowCfgTipValue, REG_QWORD, &one, sizeof(one));
    Install(CameraPower::D3);
    EXPECT_TRUE(Signaled(enable.get(), 5000));
    Open(L"-Lang=1");
    EXPECT_TRUE(ShowsOn() && ::IsWindowEnabled(switchWindow));
    EXPECT_FALSE(TextIn(18, 240)) << "a notice or a label";
}

}  // namespace
}  // namespace lensbeacon::test
