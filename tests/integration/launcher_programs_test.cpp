// Plainrun and Hoistrun as real programs in Wine. Copies of the launch probe
// stand in for the programs they open, so each test sees what was started,
// with which command line, and what was not.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hoistrun_startup.h"
#include "probe_programs.h"

namespace lensbeacon::test {
namespace {

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// Plainrun runs to its end before the test looks: a file it opened has been
// started by then, so a probe that neither signalled nor runs was not opened.
void ExpectNotOpened(const ProbeSignal& signal, const wchar_t* probeName) {
    EXPECT_FALSE(signal.Started()) << "opened";
    EXPECT_FALSE(ProcessRunning(probeName)) << "running";
}

class PlainrunProgram : public testing::Test {
  protected:
    void SetUp() override {
        folder_.CopyIn(DistPath(L"Plainrun.exe"), L"Plainrun.exe");
        folder_.CopyIn(TestBinPath(L"launch_probe.exe"), L"LenspopUI.exe");
        folder_.CopyIn(TestBinPath(L"launch_probe.exe"), L"probe_a.exe");
        folder_.CopyIn(TestBinPath(L"launch_probe.exe"), L"probe_b.exe");
    }
    void TearDown() override {
        for (const wchar_t* name : {L"LenspopUI.exe", L"probe_a.exe", L"probe_b.exe"}) {
            WaitForProcessesToEnd(name);
        }
    }
    DWORD RunPlainrun(const std::wstring& arguments) {
        return RunCommandLine(folder_.Path(L"Plainrun.exe"),
                              Quoted(folder_.Path(L"Plainrun.exe")) + L" " + arguments);
    }

    ScratchFolder folder_{L"plain run"};
};

TEST_F(PlainrunProgram, OpensTheFileAfterTheEqualsSignInAFolderWithBlanks) {
    ProbeSignal opened(L"LenspopUI.exe");
    EXPECT_EQ(RunPlainrun(Quoted(L"=" + folder_.Path(L"LenspopUI.exe"))), 0u);
    EXPECT_TRUE(opened.WaitStarted());
}

TEST_F(PlainrunProgram, OpensOnlyTheFirstOfTwoArguments) {
    ProbeSignal first(L"probe_a.exe");
    ProbeSignal second(L"probe_b.exe");
    EXPECT_EQ(RunPlainrun(Quoted(L"=" + folder_.Path(L"probe_a.exe")) + L" " +
                          Quoted(L"=" + folder_.Path(L"probe_b.exe"))),
              0u);
    EXPECT_TRUE(first.WaitStarted());
    ExpectNotOpened(second, L"probe_b.exe");
}

TEST_F(PlainrunProgram, OpensNothingWithoutAUsableArgumentAndStillExitsZero) {
    ProbeSignal opened(L"LenspopUI.exe");
    const std::wstring arguments[] = {
        Quoted(folder_.Path(L"LenspopUI.exe")),  // no equals sign
        L"=",                                    // the equals sign alone
        L"",                                     // no argument
        L"\"=",                                  // an unbalanced quote
    };
    for (const std::wstring& argument : arguments) {
        EXPECT_EQ(RunPlainrun(argument), 0u) << argument.size();
        ExpectNotOpened(opened, L"LenspopUI.exe");
    }
}

// A hidden top-level window of the indicator's class and title, as a running
// indicator shows.
class IndicatorWindow {
  public:
    IndicatorWindow() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Lenspop Class";
        atom_ = ::RegisterClassW(&windowClass);
        EXPECT_NE(atom_, 0);
        window_ = ::CreateWindowExW(0, L"Lenspop Class", L"Lenspop Window", WS_POPUP, 0, 0, 10, 10,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
        EXPECT_NE(window_, nullptr) << "CreateWindowExW failed, error " << ::GetLastError();
    }
    ~IndicatorWindow() {
        if (window_ != nullptr) {
            ::DestroyWindow(window_);
        }
        if (atom_ != 0) {
            ::UnregisterClassW(L"Lenspop Class", ::GetModuleHandleW(nullptr));
        }
    }
    IndicatorWindow(const IndicatorWindow&) = delete;
    IndicatorWindow& operator=(const IndicatorWindow&) = delete;

  private:
    ATOM atom_ = 0;
    HWND window_ = nullptr;
};

class HoistrunProgram : public testing::Test {
  protected:
    void SetUp() override {
        folder_.CopyIn(DistPath(L"Hoistrun.exe"), L"Hoistrun.exe");
        // The probe stands in for Plainrun, so the launch shows its command line.
        folder_.CopyIn(TestBinPath(L"launch_probe.exe"), L"Plainrun.exe");
    }
    void TearDown() override { WaitForProcessesToEnd(L"Plainrun.exe"); }
    DWORD RunHoistrun() {
        return RunCommandLine(folder_.Path(L"Hoistrun.exe"), Quoted(folder_.Path(L"Hoistrun.exe")));
    }

    ScratchFolder folder_{L"hoist run"};
};

TEST_F(HoistrunProgram, RunningIndicatorWindowEndsItAtOnceWithZero) {
    ProbeSignal launched(L"Plainrun.exe");
    IndicatorWindow indicator;
    EXPECT_EQ(RunHoistrun(), 0u);
    EXPECT_FALSE(launched.Started());
    EXPECT_FALSE(ProcessRunning(L"Plainrun.exe"));
}

TEST_F(HoistrunProgram, StartsPlainrunFromItsOwnFolderWithTheQuotedIndicatorPath) {
    ProbeSignal launched(L"Plainrun.exe");
    EXPECT_EQ(RunHoistrun(), 0u);
    ASSERT_TRUE(launched.WaitStarted());
    EXPECT_EQ(RecordedCommandLine(folder_.Path(L"Plainrun.exe")),
              L"Plainrun.exe \"=" + folder_.Path(L"LenspopUI.exe") + L"\"");
}

TEST(HoistrunStartupInWine, ThreadDesktopIsNotTheLogonDesktopAndStaysUsable) {
    Win32StartupPort startup;
    PathBuffer name;
    ASSERT_TRUE(startup.DesktopName(startup.ThreadDesktop(), name));
    EXPECT_STREQ(name, L"Default");
    EXPECT_FALSE(IsLogonDesktop(startup));
    // The desktop test hands the handle to CloseDesktop; the thread keeps it.
    EXPECT_FALSE(IsLogonDesktop(startup));
    ASSERT_TRUE(startup.DesktopName(startup.ThreadDesktop(), name));
    EXPECT_STREQ(name, L"Default");

    PathBuffer modulePath;
    ASSERT_TRUE(startup.ModuleFileName(modulePath));
    EXPECT_EQ(std::wstring(modulePath), TestBinPath(L"integration_launcher_programs.exe"));
}

}  // namespace
}  // namespace lensbeacon::test
