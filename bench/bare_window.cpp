// A bare Win32 window program beside the benchmark driver, the yardstick for
// the settings dialog's start: one window of the dialog's size, centred,
// painted one colour with GDI. It ends when its window is closed.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"Lensbeacon Bench Bare Window";
constexpr int kWidth = 377;
constexpr int kHeight = 182;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = ::BeginPaint(window, &paint);
            if (dc != nullptr) {
                HBRUSH brush = ::CreateSolidBrush(RGB(32, 96, 160));
                if (brush != nullptr) {
                    ::FillRect(dc, &paint.rcPaint, brush);
                    ::DeleteObject(brush);
                }
            }
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (::RegisterClassW(&windowClass) == 0) {
        return 1;
    }
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND window = ::CreateWindowExW(0, kClassName, L"Bare", WS_POPUP | WS_VISIBLE, x, y, kWidth,
                                    kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
