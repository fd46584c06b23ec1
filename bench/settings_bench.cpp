// The settings dialog as a user meets it: how soon after the program starts
// its window shows its first painted frame on the screen, when the fade-in
// has finished, and the program's private memory while it is open.
#include "settings_bench.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"
#include "registry_sandbox.h"

namespace lensbeacon::bench {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kDialogClass[] = L"Lensbeacon Control App Class";
constexpr UINT kCloseCommand = 32771;

COLORREF ScreenPixel(int x, int y) {
    WindowDc screen(nullptr);
    return screen ? ::GetPixel(screen.get(), x, y) : CLR_INVALID;
}

}  // namespace

void SettingsStartAndMemory(int starts) {
    test::RegistrySandbox settings(kSettingsKey);
    settings.CreateKey();
    test::InstalledSuite suite{L"Lenswatch.exe", L"InstLenswatch.exe", L"Lensdial.exe"};
    if (!StartService(suite)) {
        std::printf("| settings dialog start | service did not start | |\n");
        return;
    }
    const std::wstring program = suite.folder() + L"Lensdial.exe";
    std::vector<double> toFrame;
    std::vector<double> toSettled;
    double openKiB = -1;
    for (int i = 0; i < starts; ++i) {
        HWND dialog = nullptr;
        const auto start = Clock::now();
        UniqueProcessInformation process = test::StartCommandLine(program, L"\"" + program + L"\"");
        if (!process.process) {
            continue;
        }
        // The first frame: the window is shown and the screen under its
        // middle no longer holds what was there before.
        COLORREF before = CLR_INVALID;
        POINT middle{};
        const bool framed = PollUntil(
            [&] {
                dialog = ::FindWindowW(kDialogClass, nullptr);
                if (dialog == nullptr || !::IsWindowVisible(dialog)) {
                    return false;
                }
                RECT rect{};
                ::GetWindowRect(dialog, &rect);
                middle = POINT{(rect.left + rect.right) / 2, rect.top + 20};
                if (before == CLR_INVALID) {
                    before = ScreenPixel(middle.x, middle.y);
                }
                return ScreenPixel(middle.x, middle.y) != before;
            },
            10s);
        if (framed) {
            toFrame.push_back(Millis(Clock::now() - start));
        }
        const bool settled = PollUntil(
            [&] { return (::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_LAYERED) == 0; }, 10s);
        if (framed && settled) {
            toSettled.push_back(Millis(Clock::now() - start));
        }
        if (i == 0) {
            openKiB = PrivateKiB(FindLinuxProcess("Lensdial.exe"));
        }
        ::PostMessageW(dialog, WM_COMMAND, kCloseCommand, 0);
        if (::WaitForSingleObject(process.process.get(), 10000) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.process.get(), 1);
        }
    }
    const Summary frame = Summarize(toFrame);
    const Summary settledAt = Summarize(toSettled);
    std::printf(
        "| Lensdial start -> first painted frame on screen | median %.0f ms, p95 %.0f ms | %zu of "
        "%d starts, screen polled every 1 ms |\n",
        frame.median, frame.p95, frame.count, starts);
    std::printf(
        "| Lensdial start -> fade-in finished | median %.0f ms, p95 %.0f ms | %zu of %d starts |\n",
        settledAt.median, settledAt.p95, settledAt.count, starts);
    std::printf(
        "| Lensdial private memory while open (Wine process, incl. Wine's own) | %.0f KiB | /proc "
        "smaps_rollup, first start |\n",
        openKiB);
}

}  // namespace lensbeacon::bench
