// The settings dialog as a user meets it: how soon after the program starts
// its window shows its first painted frame on the screen, beside a bare Win32
// window program started the same way (painted with GDI, and painted with
// Direct2D and DirectWrite), when the fade-in has finished, and the
// program's private memory while it is open.
#include "settings_bench.h"

#include <windows.h>

#include <chrono>
#include <cstddef>
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
constexpr wchar_t kBareWindowClass[] = L"Lensbeacon Bench Bare Window";

COLORREF ScreenPixel(int x, int y) {
    WindowDc screen(nullptr);
    return screen ? ::GetPixel(screen.get(), x, y) : CLR_INVALID;
}

// Starts `program` `starts` times and measures, each time, start to the first
// painted frame of its window of `windowClass` (and, with `settled`, to the
// end of the fade-in), closing it with `close`. The private memory of the
// first start goes to `firstKiB`.
struct StartTimes {
    std::vector<double> toFrame;
    std::vector<double> toSettled;
    double firstKiB = -1;
};

StartTimes MeasureStarts(const std::wstring& program, const wchar_t* windowClass, int starts,
                         void (*close)(HWND), bool settled) {
    StartTimes times;
    const std::string image(program.begin() + static_cast<std::ptrdiff_t>(program.rfind(L'\\') + 1),
                            program.end());
    for (int i = 0; i < starts; ++i) {
        HWND window = nullptr;
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
                window = ::FindWindowW(windowClass, nullptr);
                if (window == nullptr || !::IsWindowVisible(window)) {
                    return false;
                }
                RECT rect{};
                ::GetWindowRect(window, &rect);
                middle = POINT{(rect.left + rect.right) / 2, rect.top + 20};
                if (before == CLR_INVALID) {
                    before = ScreenPixel(middle.x, middle.y);
                }
                return ScreenPixel(middle.x, middle.y) != before;
            },
            10s);
        if (framed) {
            times.toFrame.push_back(Millis(Clock::now() - start));
        }
        if (settled && framed &&
            PollUntil([&] { return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0; },
                      10s)) {
            times.toSettled.push_back(Millis(Clock::now() - start));
        }
        if (i == 0) {
            times.firstKiB = PrivateKiB(FindLinuxProcess(image));
        }
        close(window);
        if (::WaitForSingleObject(process.process.get(), 10000) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.process.get(), 1);
        }
        // The next start paints over the desktop again, not over this window.
        PollUntil([&] { return !::IsWindow(window); }, 5s);
    }
    return times;
}

void CloseDialog(HWND dialog) {
    ::PostMessageW(dialog, WM_COMMAND, kCloseCommand, 0);
}

void CloseBareWindow(HWND window) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
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
    // Started the same way, one after the other, in the same run.
    const StartTimes bare = MeasureStarts(test::TestBinPath(L"bare_window.exe"), kBareWindowClass,
                                          starts, CloseBareWindow, false);
    const StartTimes bareDirect2D = MeasureStarts(test::TestBinPath(L"bare_direct2d_window.exe"),
                                                  kBareWindowClass, starts, CloseBareWindow, false);
    const StartTimes dialog =
        MeasureStarts(suite.folder() + L"Lensdial.exe", kDialogClass, starts, CloseDialog, true);
    const Summary frame = Summarize(dialog.toFrame);
    const Summary settledAt = Summarize(dialog.toSettled);
    const Summary bareFrame = Summarize(bare.toFrame);
    const Summary direct2DFrame = Summarize(bareDirect2D.toFrame);
    std::printf(
        "| Lensdial start -> first painted frame on screen | median %.0f ms, p95 %.0f ms | %zu of "
        "%d starts, screen polled every 1 ms |\n",
        frame.median, frame.p95, frame.count, starts);
    std::printf(
        "| bare Win32 window program (one GDI-painted window of the same size) start -> first "
        "painted frame | median %.0f ms, p95 %.0f ms | %zu of %d starts, the same way |\n",
        bareFrame.median, bareFrame.p95, bareFrame.count, starts);
    std::printf(
        "| bare window program painted through one Direct2D DC render target with one line of "
        "DirectWrite text, start -> first painted frame | median %.0f ms, p95 %.0f ms | %zu of "
        "%d starts, the same way |\n",
        direct2DFrame.median, direct2DFrame.p95, direct2DFrame.count, starts);
    std::printf(
        "| Lensdial first frame / bare window first frame | %.2f | ratio of the medians, same "
        "run |\n",
        bareFrame.median > 0 ? frame.median / bareFrame.median : 0.0);
    std::printf(
        "| bare Direct2D window first frame / bare window first frame | %.2f | ratio of the "
        "medians, same run |\n",
        bareFrame.median > 0 ? direct2DFrame.median / bareFrame.median : 0.0);
    std::printf(
        "| Lensdial start -> fade-in finished | median %.0f ms, p95 %.0f ms | %zu of %d starts |\n",
        settledAt.median, settledAt.p95, settledAt.count, starts);
    std::printf(
        "| Lensdial private memory while open (Wine process, incl. Wine's own) | %.0f KiB | /proc "
        "smaps_rollup, first start |\n",
        dialog.firstKiB);
    std::printf(
        "| private memory of the bare window / the bare Direct2D window while open | %.0f KiB / "
        "%.0f KiB | /proc smaps_rollup, first start |\n",
        bare.firstKiB, bareDirect2D.firstKiB);
}

}  // namespace lensbeacon::bench
