#include "screen_capture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>

#include "installed_suite.h"
#include "lensbeacon/dib_info.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::test {

using Microsoft::WRL::ComPtr;

ScreenPixels CaptureScreen(const RECT& area) {
    ScreenPixels image;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return image;
    }
    WindowDc screen(nullptr);
    UniqueMemoryDc memory(screen ? ::CreateCompatibleDC(screen.get()) : nullptr);
    if (!memory) {
        return image;
    }
    const BITMAPINFO info = Bitmap32Info(width, -height);
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        return image;
    }
    {
        SelectedObject selected(memory.get(), bitmap.get());
        if (!selected || !::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left,
                                   area.top, SRCCOPY)) {
            return image;
        }
    }
    ::GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    image.width = width;
    image.height = height;
    image.pixels.assign(
        source, source + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (auto& pixel : image.pixels) {
        pixel &= 0x00FFFFFFu;
    }
    return image;
}

bool SavePng(const ScreenPixels& image, const std::wstring& path, int scale) {
    if (image.width <= 0 || image.height <= 0 || scale < 1) {
        return false;
    }
    const UINT width = static_cast<UINT>(image.width * scale);
    const UINT height = static_cast<UINT>(image.height * scale);
    std::vector<BYTE> rows(static_cast<std::size_t>(width) * height * 3);
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            const std::uint32_t pixel =
                image.At(static_cast<int>(x) / scale, static_cast<int>(y) / scale);
            BYTE* out = &rows[(static_cast<std::size_t>(y) * width + x) * 3];
            out[0] = static_cast<BYTE>(pixel & 0xFF);  // blue
            out[1] = static_cast<BYTE>((pixel >> 8) & 0xFF);
            out[2] = static_cast<BYTE>((pixel >> 16) & 0xFF);
        }
    }
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool saved = false;
    {
        ComPtr<IWICImagingFactory> factory;
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        saved = SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_PPV_ARGS(&factory))) &&
                SUCCEEDED(factory->CreateStream(&stream)) &&
                SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
                SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
                SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
                SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
                SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
                SUCCEEDED(frame->SetPixelFormat(&format)) &&
                IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
                SUCCEEDED(frame->WritePixels(height, width * 3, static_cast<UINT>(rows.size()),
                                             rows.data())) &&
                SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    }
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return saved;
}

std::wstring ScreenshotFolder() {
    return FolderFromEnvironment(L"LENSBEACON_SCREENSHOTS");
}

namespace {

// Counts the pixels of the area, clipped to the image, that `test` accepts:
// an area beyond a short or empty capture counts nothing there.
template <typename Test>
int CountPixels(const ScreenPixels& image, int left, int top, int right, int bottom, Test test) {
    int count = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, image.width); ++x) {
            count += test(image.At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

int PixelsOf(std::uint32_t colour, const ScreenPixels& image, int left, int top, int right,
             int bottom) {
    return CountPixels(image, left, top, right, bottom,
                       [colour](std::uint32_t pixel) { return pixel == colour; });
}

int BrightPixels(const ScreenPixels& image, int left, int top, int right, int bottom) {
    return CountPixels(image, left, top, right, bottom, [](std::uint32_t pixel) {
        return (pixel & 0xFF) > 160 && ((pixel >> 8) & 0xFF) > 160 && (pixel >> 16) > 160;
    });
}

ScreenPixels IndicatorOverGrey(const ScreenPixels& image, std::uint8_t grey) {
    ScreenPixels out = image;
    for (std::uint32_t& pixel : out.pixels) {
        const std::uint32_t alpha =
            std::max({pixel & 0xFFu, (pixel >> 8) & 0xFFu, (pixel >> 16) & 0xFFu});
        const std::uint32_t under = grey * (255u - alpha) / 255u;
        std::uint32_t composed = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const std::uint32_t channel = ((pixel >> shift) & 0xFFu) + under;
            composed |= std::min(channel, 255u) << shift;
        }
        pixel = composed;
    }
    return out;
}

bool IndicatorGlyphIn(const ScreenPixels& image) {
    return image.width == 128 && image.height == 75 && BrightPixels(image, 34, 0, 94, 60) > 1200;
}

}  // namespace lensbeacon::test
