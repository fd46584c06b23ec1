// A bare Win32 window program beside the benchmark driver, the yardstick for
// the settings dialog's start: one window of the dialog's size, centred,
// painted one colour with GDI. It ends when its window is closed.
// Built a second time as bare_direct2d_window, it paints the same window
// through one Direct2D DC render target and writes one line with
// DirectWrite: the least a program that draws as the settings dialog does
// must start, with no Direct2D library loaded by the first build.
#include <windows.h>

#ifdef LENSBEACON_BENCH_DIRECT2D
#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <cwchar>
#endif

namespace {

constexpr wchar_t kClassName[] = L"Lensbeacon Bench Bare Window";
constexpr int kWidth = 377;
constexpr int kHeight = 182;

void PaintWithGdi(HDC dc, const RECT& area) {
    HBRUSH brush = ::CreateSolidBrush(RGB(32, 96, 160));
    if (brush != nullptr) {
        ::FillRect(dc, &area, brush);
        ::DeleteObject(brush);
    }
}

#ifdef LENSBEACON_BENCH_DIRECT2D
// The same colour, and a line of text over it.
bool PaintWithDirect2D(HDC dc, const RECT& client) {
    using Microsoft::WRL::ComPtr;
    ComPtr<ID2D1Factory> factory;
    ComPtr<IDWriteFactory> writeFactory;
    if (FAILED(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                 reinterpret_cast<void**>(factory.GetAddressOf()))) ||
        FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(writeFactory.GetAddressOf())))) {
        return false;
    }
    ComPtr<IDWriteTextFormat> format;
    if (FAILED(writeFactory->CreateTextFormat(L"Segoe UI", nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                              DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                              12.0f, L"en-us", &format))) {
        return false;
    }
    const D2D1_RENDER_TARGET_PROPERTIES properties{
        D2D1_RENDER_TARGET_TYPE_DEFAULT,
        {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED},
        0.0f,
        0.0f,
        D2D1_RENDER_TARGET_USAGE_NONE,
        D2D1_FEATURE_LEVEL_DEFAULT};
    ComPtr<ID2D1DCRenderTarget> target;
    if (FAILED(factory->CreateDCRenderTarget(&properties, &target)) ||
        FAILED(target->BindDC(dc, &client))) {
        return false;
    }
    ComPtr<ID2D1SolidColorBrush> brush;
    target->BeginDraw();
    target->Clear(D2D1::ColorF(32 / 255.0f, 96 / 255.0f, 160 / 255.0f));
    if (SUCCEEDED(target->CreateSolidColorBrush(D2D1::ColorF(D2D1::ColorF::White), &brush))) {
        constexpr wchar_t kText[] = L"Lensbeacon";
        target->DrawText(kText, static_cast<UINT32>(std::wcslen(kText)), format.Get(),
                         D2D1::RectF(20.0f, 20.0f, 300.0f, 60.0f), brush.Get());
    }
    return SUCCEEDED(target->EndDraw());
}
#endif

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = ::BeginPaint(window, &paint);
            RECT client{};
            if (dc != nullptr && ::GetClientRect(window, &client)) {
#ifdef LENSBEACON_BENCH_DIRECT2D
                if (!PaintWithDirect2D(dc, client)) {
                    PaintWithGdi(dc, paint.rcPaint);
                }
#else
                PaintWithGdi(dc, paint.rcPaint);
#endif
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
