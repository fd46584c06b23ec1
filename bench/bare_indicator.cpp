// The floor for the indicator's On -> visible latency: the least a camera
// indicator must do. It waits on the service's On event on its one thread,
// and shows a layered window of the indicator's size with one
// UpdateLayeredWindow of a premultiplied bitmap that it made at start; on
// the Off event it hides again. No listener thread, no images to decode, no
// text, no fade. It ends when its window is closed.
//   bare_indicator.exe [ON-EVENT OFF-EVENT]
// Without arguments it waits on the suite's own On and Off events.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "lensbeacon/dib_info.h"
#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"

namespace {

using lensbeacon::SelectedObject;
using lensbeacon::UniqueBitmap;
using lensbeacon::UniqueHandle;
using lensbeacon::UniqueLocalMemory;
using lensbeacon::UniqueMemoryDc;

constexpr wchar_t kClassName[] = L"Lensbeacon Bench Bare Indicator";
constexpr int kWidth = 128;
constexpr int kHeight = 75;

// A white square where the indicator's glyph is, over a band of alpha 1
// where its caption is: premultiplied, as UpdateLayeredWindow wants it.
void PaintPremultiplied(std::uint32_t* pixels) {
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            std::uint32_t pixel = 0;
            if (x >= 34 && x < 94 && y < 60) {
                pixel = 0xFFFFFFFFu;
            } else if (y >= 52) {
                pixel = 0x01010101u;
            }
            pixels[y * kWidth + x] = pixel;
        }
    }
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const UniqueLocalMemory arguments(argv);
    const wchar_t* onName = lensbeacon::kOnEventName;
    const wchar_t* offName = lensbeacon::kOffEventName;
    if (argv != nullptr && argc >= 3) {
        onName = argv[1];
        offName = argv[2];
    }
    UniqueHandle on(::OpenEventW(SYNCHRONIZE, FALSE, onName));
    UniqueHandle off(::OpenEventW(SYNCHRONIZE, FALSE, offName));
    if (!on || !off) {
        return 1;
    }

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (::RegisterClassW(&windowClass) == 0) {
        return 1;
    }
    HWND window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName,
                                    L"Bare Indicator", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, nullptr);
    if (window == nullptr) {
        return 1;
    }

    // The bitmap, made once at start.
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) {
        return 1;
    }
    BITMAPINFO info = lensbeacon::Bitmap32Info(kWidth, -kHeight);  // top-down
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) {
        return 1;
    }
    PaintPremultiplied(static_cast<std::uint32_t*>(bits));
    const SelectedObject selection(dc.get(), bitmap.get());
    if (!selection) {
        return 1;
    }

    // Hidden, it waits for On; shown, for Off. Messages are served between.
    bool shown = false;
    for (;;) {
        HANDLE awaited = shown ? off.get() : on.get();
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &awaited, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            if (!shown) {
                POINT position{::GetSystemMetrics(SM_CXSCREEN) - 2 * kWidth, kHeight};
                SIZE size{kWidth, kHeight};
                POINT source{0, 0};
                BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                if (!::UpdateLayeredWindow(window, nullptr, &position, &size, dc.get(), &source, 0,
                                           &blend, ULW_ALPHA)) {
                    return 1;
                }
                ::ShowWindow(window, SW_SHOWNA);  // answers the previous visibility
            } else {
                ::ShowWindow(window, SW_HIDE);
            }
            shown = !shown;
            continue;
        }
        if (woke != WAIT_OBJECT_0 + 1) {
            return 1;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return 0;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}
