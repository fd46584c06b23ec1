// The organisation's policy end to end: the real service and settings dialog
// with a simulated camera, the policy key written as Group Policy writes it.
// Every value written is read from the shipped ADMX, so the template and the
// product cannot drift apart.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "pointer_input.h"
#include "probe_programs.h"
#include "registry_sandbox.h"
#include "screen_capture.h"
#include "simulated_camera.h"

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kAppear = 15s;
constexpr DWORD kCameraNoticeMs = 5000;
constexpr wchar_t kDialogClass[] = L"Lensbeacon Control App Class";
// The switch and the label in the dialog, at 96 dots per inch.
constexpr RECT kSwitch{260, 136, 360, 170};
constexpr RECT kLabel{168, 136, 240, 170};
constexpr RECT kNotice{18, 136, 160, 170};

std::string ReadAdmx() {
    std::string text;
    if (FILE* file = ::_wfopen((DistFolder() + L"policy\\Lensbeacon.admx").c_str(), L"rb")) {
        char buffer[4096];
        for (std::size_t read; (read = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) {
            text.append(buffer, read);
        }
        std::fclose(file);
    }
    return text;
}

// The <decimal value="N" /> the ADMX writes for the policy of `valueName`
// in `state` ("enabledValue" or "disabledValue").
DWORD AdmxValue(const std::string& valueName, const std::string& state) {
    static const std::string admx = ReadAdmx();
    const std::size_t policy = admx.find("valueName=\"" + valueName + "\"");
    const std::size_t end = admx.find("</policy>", policy);
    const std::size_t element = admx.find("<" + state + ">", policy);
    const std::size_t decimal = admx.find("<decimal value=\"", element);
    EXPECT_NE(policy, std::string::npos) << valueName << " is not in the ADMX";
    EXPECT_LT(decimal, end) << valueName << " has no " << state;
    return decimal < end ? static_cast<DWORD>(std::stoul(admx.substr(decimal + 16))) : ~0u;
}

HWND FindDialog() {
    return ::FindWindowW(kDialogClass, nullptr);
}

bool DialogSettled() {
    HWND dialog = FindDialog();
    return dialog != nullptr && ::IsWindowVisible(dialog) && ::IsWindowEnabled(dialog) &&
           (::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
}

class PolicyEndToEnd : public ::testing::Test {
  protected:
    void TearDown() override {
        if (dialog.process && !Signaled(dialog.process.get())) {
            ::TerminateProcess(dialog.process.get(), 1);
            ::WaitForSingleObject(dialog.process.get(), 5000);
        }
    }

    void Install() {
        settings.CreateKey();
        ASSERT_EQ(suite.Installer(L"-i"), 0u);
        ASSERT_TRUE(WaitForSuiteEvents(kAppear)) << "the service did not create its events";
        on = OpenSuiteEvent(kOnEventName);
        off = OpenSuiteEvent(kOffEventName);
        enable = OpenSuiteEvent(kSettingEnableEventName, SYNCHRONIZE | EVENT_MODIFY_STATE);
        ASSERT_TRUE(on && off && enable);
    }

    void Open(const wchar_t* language) {
        const std::wstring program = suite.folder() + L"Lensdial.exe";
        dialog = StartCommandLine(program, L"\"" + program + L"\" " + language);
        ASSERT_TRUE(dialog.process);
        ASSERT_TRUE(WaitUntil(DialogSettled, kAppear)) << "the dialog did not open";
        window = FindDialog();
    }

    // A part of the dialog in screen coordinates.
    RECT OnScreen(const RECT& part) const {
        RECT dialogRect{};
        EXPECT_TRUE(::GetWindowRect(window, &dialogRect));
        return RECT{dialogRect.left + part.left, dialogRect.top + part.top,
                    dialogRect.left + part.right, dialogRect.top + part.bottom};
    }

    HWND SwitchWindow() const {
        HWND found =
            ::ChildWindowFromPointEx(window, POINT{kSwitch.left + 50, kSwitch.top + 17}, CWP_ALL);
        EXPECT_TRUE(found != nullptr && found != window) << "no switch window";
        return found;
    }

    // On: the knob is right and the track's accent shows at its left end;
    // Off: the white knob covers it.
    bool SwitchShowsOn() const {
        const ScreenPixels image = CaptureScreen(OnScreen(kSwitch));
        const std::uint32_t pixel = image.width > 0 ? image.At(20, 17) : 0;
        return (pixel & 0xFF) > ((pixel >> 16) & 0xFF) + 60;
    }

    // Whether anything darker than the background is drawn in a part: text.
    bool Drawn(const RECT& part) const {
        const ScreenPixels image = CaptureScreen(OnScreen(part));
        const RECT all{0, 0, image.width, image.height};
        return image.width > 0 && BrightPixels(image, all.left, all.top, all.right, all.bottom) <
                                      image.width * image.height;
    }

    void PressKey(UINT key) const {
        ASSERT_TRUE(::PostMessageW(window, WM_KEYDOWN, key, 1));
        ASSERT_TRUE(::PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u)));
    }

    void SaveShot(const wchar_t* name) const {
        const std::wstring folder = ScreenshotFolder();
        const RECT rect = OnScreen(RECT{-12, -12, 377 + 12, 182 + 12});
        const ScreenPixels image = CaptureScreen(rect);
        ASSERT_GT(image.width, 0);
        if (!folder.empty()) {
            EXPECT_TRUE(SavePng(image, folder + name));
        }
    }

    bool UserShowOsdIs(DWORD expected) const {
        DWORD type = 0;
        std::vector<unsigned char> data;
        return settings.Read(kShowOsdValue, type, data) && type == REG_DWORD && data.size() == 4 &&
               data[0] == expected && data[1] == 0 && data[2] == 0 && data[3] == 0;
    }

    RegistrySandbox settings{kSettingsKey};
    // Group Policy writes the native view.
    RegistrySandbox policy{kPolicyKey, KEY_WOW64_64KEY};
    InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe", L"Lensdial.exe"};
    UniqueProcessInformation dialog;
    HWND window = nullptr;
    UniqueHandle on, off, enable;
};

TEST_F(PolicyEndToEnd, HeldOnTheSwitchTakesNoInputAndTheCameraStillShows) {
    settings.SetDword(kShowOsdValue, 0);  // the user's own switch is off
    policy.SetDword(kShowOsdValue, AdmxValue("ShowOSD", "enabledValue"));
    // The USB watch: in Wine it checks every second, whenever the camera starts.
    policy.SetDword(kCheckUsbCameraValue, AdmxValue("CheckUSBCamera", "enabledValue"));
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)", CameraPower::D3);
    Install();
    EXPECT_TRUE(Signaled(enable.get(), 5000)) << "Setting Enable does not show the held switch";

    Open(L"-Lang=1");
    ASSERT_TRUE(SwitchShowsOn());
    EXPECT_FALSE(::IsWindowEnabled(SwitchWindow()));
    EXPECT_TRUE(Drawn(kNotice)) << "no notice";
    SaveShot(L"settings_managed.png");

    // Left, a click left of the knob and a drag of the knob to the left.
    PressKey(VK_LEFT);
    const RECT track = OnScreen(kSwitch);
    ASSERT_TRUE(ClickAt(track.left + 10, track.top + 17));
    ASSERT_TRUE(::SetCursorPos(track.right - 20, track.top + 17));
    ASSERT_TRUE(SendMouse(MOUSEEVENTF_LEFTDOWN));
    ASSERT_TRUE(::SetCursorPos(track.left + 5, track.top + 17));
    ASSERT_TRUE(SendMouse(MOUSEEVENTF_MOVE));
    ASSERT_TRUE(SendMouse(MOUSEEVENTF_LEFTUP));
    ::SendMessageW(window, WM_NULL, 0, 0);
    EXPECT_TRUE(SwitchShowsOn()) << "the held switch moved";

    // A Setting Change against the policy from elsewhere is put back, and
    // the user's own value stays.
    UniqueHandle pulse = OpenSuiteEvent(kSettingChangeEventName, EVENT_MODIFY_STATE);
    ASSERT_TRUE(pulse && ::ResetEvent(enable.get()) && ::SetEvent(pulse.get()));
    EXPECT_TRUE(WaitUntil([this] { return Signaled(enable.get()); }, 5s));
    EXPECT_TRUE(UserShowOsdIs(0));

    camera.SetPower(CameraPower::D0);
    EXPECT_TRUE(Signaled(on.get(), kCameraNoticeMs)) << "the camera did not reach the On event";
    EXPECT_TRUE(SwitchShowsOn()) << "the held switch moved late";
}

TEST_F(PolicyEndToEnd, HeldOffTheCameraShowsNothingAndTheSwitchIsOff) {
    policy.SetDword(kShowOsdValue, AdmxValue("ShowOSD", "disabledValue"));
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)", CameraPower::D0);
    Install();
    EXPECT_FALSE(Signaled(on.get(), 3000)) << "the camera showed while held off";
    EXPECT_FALSE(Signaled(enable.get()));

    Open(L"-Lang=13");  // right to left: the notice stands against the switch
    EXPECT_FALSE(SwitchShowsOn());
    EXPECT_FALSE(::IsWindowEnabled(SwitchWindow()));
    EXPECT_TRUE(Drawn(kNotice)) << "no notice";
    SaveShot(L"settings_managed_arabic_off.png");
}

TEST_F(PolicyEndToEnd, ThePolicyGoesAndComesWhileTheServiceRuns) {
    settings.SetDword(kShowOsdValue, 1);
    policy.SetDword(kShowOsdValue, AdmxValue("ShowOSD", "disabledValue"));
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)", CameraPower::D0);
    Install();
    ASSERT_FALSE(Signaled(enable.get()));

    // Removed: the user's switch (on) governs again and the watch starts.
    policy.DeleteKey();
    EXPECT_TRUE(Signaled(enable.get(), 2000)) << "the user's switch did not govern again";
    EXPECT_TRUE(Signaled(on.get(), kCameraNoticeMs));

    // Back, with the key created anew: off at once.
    policy.SetDword(kShowOsdValue, AdmxValue("ShowOSD", "disabledValue"));
    EXPECT_TRUE(Signaled(off.get(), 2000)) << "the indicator was not hidden";
    EXPECT_FALSE(Signaled(on.get()));
    EXPECT_TRUE(UserShowOsdIs(1));
}

TEST_F(PolicyEndToEnd, MalformedPolicyValuesAreNotConfigured) {
    // Read blind to the type, four zero bytes would hold the indicator off;
    // read blind to the size, an eight-byte 1 would show the label.
    const unsigned char zeros[4] = {};
    policy.SetRaw(kShowOsdValue, REG_SZ, zeros, sizeof(zeros));
    const ULONGLONG one = 1;
    policy.SetRaw(kShowCfgTipValue, REG_QWORD, &one, sizeof(one));
    Install();
    EXPECT_TRUE(Signaled(enable.get(), 5000));

    Open(L"-Lang=1");
    EXPECT_TRUE(SwitchShowsOn());
    EXPECT_TRUE(::IsWindowEnabled(SwitchWindow()));
    EXPECT_FALSE(Drawn(kLabel)) << "a label";
    EXPECT_FALSE(Drawn(kNotice)) << "a notice";
    PressKey(VK_LEFT);
    EXPECT_TRUE(WaitUntil([this] { return UserShowOsdIs(0); }, 5s)) << "the switch was held";
}

}  // namespace
}  // namespace lensbeacon::test
