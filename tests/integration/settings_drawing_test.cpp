// The settings drawing toolbox against the real WIC, Direct2D, DirectWrite and
// GDI: the embedded images decode to their sizes at both scales, the GDI
// conversions and overlays give the expected premultiplied pixels, and the
// text routines measure, draw and follow the language's font and direction.
#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "../support/screen_capture.h"
#include "drawing/drawing.h"
#include "lensbeacon/localized_texts.h"

using Microsoft::WRL::ComPtr;

namespace lensbeacon::settings {
namespace {

// A BGRA pixel as stored in a 32-bit DIB.
constexpr std::uint32_t Bgra(int b, int g, int r, int a) {
    return static_cast<std::uint32_t>(b) | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(a) << 24;
}

int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// Each channel within `tolerance` of the expected one (GDI and Direct2D round
// blends their own way).
::testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected, int tolerance,
                                bool withAlpha = true) {
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8) {
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tolerance) {
            return ::testing::AssertionFailure()
                   << std::hex << "pixel 0x" << actual << ", expected 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

class SettingsDrawing : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    void SetUp() override {
        ASSERT_EQ(CreateDrawingFactory(), S_OK);
        ASSERT_EQ(CreateImagingFactory(), S_OK);
        ASSERT_EQ(CreateTextFactory(), S_OK);
    }
    void TearDown() override {
        DrawingResources().writeFactory.Reset();
        ReleaseDrawingResources();
        g_languageOverride.store(1, std::memory_order_relaxed);
    }

    // A WIC bitmap of premultiplied BGRA pixels, rows top first.
    static ComPtr<IWICBitmap> MakeBitmap(UINT width, UINT height,
                                         std::vector<std::uint32_t> pixels) {
        ComPtr<IWICBitmap> bitmap;
        EXPECT_EQ(DrawingResources().wicFactory->CreateBitmapFromMemory(
                      width, height, GUID_WICPixelFormat32bppPBGRA, width * 4,
                      static_cast<UINT>(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data()),
                      &bitmap),
                  S_OK);
        return bitmap;
    }

    // A memory DC over a 32-bit DIB section holding `pixels`.
    static MemoryDc MakeDibDc(UINT width, UINT height, std::vector<std::uint32_t> pixels) {
        MemoryDc dc = BitmapToMemoryDC(MakeBitmap(width, height, std::move(pixels)).Get());
        EXPECT_TRUE(dc);
        return dc;
    }

    // The DIB section pixels of a DC made by BitmapToMemoryDC.
    static std::vector<std::uint32_t> DibPixels(HDC dc) {
        ::GdiFlush();
        DIBSECTION section{};
        HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
        if (::GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) ||
            section.dsBm.bmBits == nullptr) {
            ADD_FAILURE() << "not a DIB section";
            return {};
        }
        const auto count = static_cast<std::size_t>(section.dsBm.bmWidth) *
                           static_cast<std::size_t>(section.dsBm.bmHeight);
        const auto* bits = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
        return std::vector<std::uint32_t>(bits, bits + count);
    }

    // Any DC's pixels, copied into a 32-bit DIB section (colour only).
    static std::vector<std::uint32_t> ReadPixels(HDC dc, int width, int height) {
        MemoryDc copy =
            MakeDibDc(static_cast<UINT>(width), static_cast<UINT>(height),
                      std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), 0));
        ::BitBlt(copy.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
        auto pixels = DibPixels(copy.get());
        for (auto& pixel : pixels) {
            pixel &= 0x00FFFFFFu;
        }
        return pixels;
    }

    static SIZE BitmapSize(HDC dc) {
        BITMAP bitmap{};
        ::GetObjectW(::GetCurrentObject(dc, OBJ_BITMAP), sizeof(bitmap), &bitmap);
        return SIZE{bitmap.bmWidth, bitmap.bmHeight};
    }

    static void Save(HDC dc, int width, int height, const wchar_t* name) {
        const std::wstring folder = test::ScreenshotFolder();
        if (folder.empty()) {
            return;
        }
        test::ScreenPixels image;
        image.width = width;
        image.height = height;
        image.pixels = ReadPixels(dc, width, height);
        test::SavePng(image, folder + name, 2);
    }
};

TEST_F(SettingsDrawing, ImagesDecodeToTheirSizesAtBothScales) {
    for (const float scale : {1.0f, 1.25f}) {
        for (const ImageInfo& image : kImageSet) {
            ComPtr<IWICFormatConverter> converter;
            ASSERT_EQ(LoadImageResource(image.name, scale, image.loadMode, &converter), S_OK)
                << image.name;
            UINT width = 0;
            UINT height = 0;
            ASSERT_EQ(converter->GetSize(&width, &height), S_OK);
            const float applied = image.loadMode == kLoadScaled ? scale : 1.0f;
            EXPECT_EQ(static_cast<int>(width), ScaleValue(image.width, applied)) << image.name;
            EXPECT_EQ(static_cast<int>(height), ScaleValue(image.height, applied)) << image.name;
            WICPixelFormatGUID format{};
            ASSERT_EQ(converter->GetPixelFormat(&format), S_OK);
            EXPECT_TRUE(IsEqualGUID(format, GUID_WICPixelFormat32bppPBGRA)) << image.name;
        }
    }
    // The spelled-out sizes at 1.25, and mode 0 ignoring any scale.
    ComPtr<IWICBitmap> background;
    ASSERT_EQ(LoadImageBitmap(kImageBackground, 1.25f, kLoadScaled, &background), S_OK);
    UINT width = 0;
    UINT height = 0;
    background->GetSize(&width, &height);
    EXPECT_EQ(width, 471u);
    EXPECT_EQ(height, 228u);
    ComPtr<IWICBitmap> close;
    ASSERT_EQ(LoadImageBitmap(kImageCloseNormal, 1.25f, kLoadNatural, &close), S_OK);
    close->GetSize(&width, &height);
    EXPECT_EQ(width, 34u);
    EXPECT_EQ(height, 34u);
}

TEST_F(SettingsDrawing, BackgroundPixelsArriveOpaqueAndTopDown) {
    ASSERT_EQ(LoadBackgroundBitmap(1.0f), S_OK);
    const MemoryDc dc = BitmapToMemoryDC(DrawingResources().background.Get());
    ASSERT_TRUE(dc);
    const auto pixels = DibPixels(dc.get());
    ASSERT_EQ(pixels.size(), 377u * 182u);
    // The grey rule in row 57 across the whole width, white far below it.
    EXPECT_EQ(pixels[57 * 377 + 0], Bgra(153, 153, 153, 255));
    EXPECT_EQ(pixels[57 * 377 + 376], Bgra(153, 153, 153, 255));
    EXPECT_EQ(pixels[170 * 377 + 200], Bgra(255, 255, 255, 255));
    Save(dc.get(), 377, 182, L"settings_drawing_background.png");
}

TEST_F(SettingsDrawing, LoadingFailsWithoutFactoryOrResource) {
    ComPtr<IWICFormatConverter> converter;
    EXPECT_EQ(LoadImageResource(L"NO_SUCH_IMAGE", 1.0f, kLoadNatural, &converter), E_FAIL);
    EXPECT_EQ(LoadImageResource(L"EMPTY", 1.0f, kLoadNatural, &converter), E_FAIL);
    EXPECT_EQ(LoadImageResource(kImageBackground, 1.0f, kLoadNatural, nullptr), E_POINTER);
    EXPECT_FALSE(converter);

    // The last drawing user's leaving releases all four resources.
    const HWND window = ::GetDesktopWindow();
    RegisterDrawingUser(window);
    ASSERT_EQ(LoadBackgroundBitmap(1.0f), S_OK);
    UnregisterDrawingUser(window);
    EXPECT_FALSE(DrawingResources().background);
    EXPECT_FALSE(DrawingResources().wicFactory);
    EXPECT_FALSE(DrawingResources().d2dFactory);
    EXPECT_FALSE(DrawingResources().writeFactory);
    EXPECT_EQ(LoadImageResource(kImageBackground, 1.0f, kLoadNatural, &converter), E_FAIL);
    ComPtr<ID2D1DCRenderTarget> target;
    EXPECT_EQ(CreateDCRenderTarget(&target), E_FAIL);
    const ComposedImage out = LoadImageOverBackground(kImageSliderKnob, 1.0f, nullptr, 0, 0);
    EXPECT_FALSE(out.complete);
    EXPECT_FALSE(out.picture);
}

TEST_F(SettingsDrawing, BitmapToMemoryDcCopiesPremultipliedPixels) {
    const std::vector<std::uint32_t> pixels = {Bgra(0, 0, 255, 255), Bgra(0, 0, 0, 0),
                                               Bgra(64, 0, 0, 128), Bgra(10, 20, 30, 40)};
    MemoryDc dc = MakeDibDc(2, 2, pixels);
    ASSERT_TRUE(dc);
    EXPECT_EQ(DibPixels(dc.get()), pixels);

    EXPECT_FALSE(BitmapToMemoryDC(nullptr));
}

TEST_F(SettingsDrawing, BlendOverlayCopiesOrBlends) {
    const std::uint32_t back = Bgra(0, 0, 200, 255);  // opaque red
    const std::uint32_t over = Bgra(0, 128, 0, 128);  // half-covering green
    MemoryDc background = MakeDibDc(2, 1, {back, back});
    MemoryDc overlay = MakeDibDc(2, 1, {over, Bgra(0, 0, 0, 0)});
    MemoryDc target = MakeDibDc(2, 1, {Bgra(1, 2, 3, 4), Bgra(1, 2, 3, 4)});

    BlendOverlay(background.get(), 0, 1, 2, target.get(), overlay.get());
    EXPECT_EQ(DibPixels(target.get()), (std::vector<std::uint32_t>{back, back}));

    BlendOverlay(background.get(), 255, 1, 2, target.get(), overlay.get());
    EXPECT_EQ(DibPixels(target.get()), (std::vector<std::uint32_t>{over, Bgra(0, 0, 0, 0)}));

    // Constant alpha 128 over per-pixel alpha 128: the overlay counts a
    // quarter; where it is clear the background shows unchanged.
    BlendOverlay(background.get(), 128, 1, 2, target.get(), overlay.get());
    const auto blended = DibPixels(target.get());
    EXPECT_TRUE(Near(blended[0], Bgra(0, 64, 150, 255), 2));
    EXPECT_TRUE(Near(blended[1], back, 1));
}

TEST_F(SettingsDrawing, ComposeDrawsTheImageOverTheBackgroundPatch) {
    // A 4x4 background, distinct in each pixel of the patch at (2, 2).
    std::vector<std::uint32_t> field(16, Bgra(255, 255, 255, 255));
    field[2 * 4 + 2] = Bgra(0, 255, 0, 255);
    field[2 * 4 + 3] = Bgra(255, 0, 0, 255);
    field[3 * 4 + 2] = Bgra(0, 0, 0, 255);
    field[3 * 4 + 3] = Bgra(200, 200, 200, 255);
    MemoryDc background = MakeDibDc(4, 4, field);

    // Opaque red, clear, half blue (premultiplied), clear.
    ComPtr<IWICBitmap> image = MakeBitmap(
        2, 2, {Bgra(0, 0, 255, 255), Bgra(0, 0, 0, 0), Bgra(128, 0, 0, 128), Bgra(0, 0, 0, 0)});
    const ComposedImage composed = ComposeImageOverBackground(image.Get(), background.get(), 2, 2);
    ASSERT_TRUE(composed.complete);
    const MemoryDc& picture = composed.picture;
    ASSERT_TRUE(picture);
    const SIZE size = BitmapSize(picture.get());
    EXPECT_EQ(size.cx, 2);
    EXPECT_EQ(size.cy, 2);
    const auto pixels = ReadPixels(picture.get(), 2, 2);
    EXPECT_TRUE(Near(pixels[0], Bgra(0, 0, 255, 0), 1, false));
    EXPECT_TRUE(Near(pixels[1], Bgra(255, 0, 0, 0), 1, false));
    EXPECT_TRUE(Near(pixels[2], Bgra(128, 0, 0, 0), 2, false));  // half blue over black
    EXPECT_TRUE(Near(pixels[3], Bgra(200, 200, 200, 0), 1, false));

    const ComposedImage none = ComposeImageOverBackground(nullptr, background.get(), 0, 0);
    EXPECT_FALSE(none.complete);
    EXPECT_FALSE(none.picture);

    // Without the Direct2D factory the picture holds the background alone,
    // and the result says the image is missing.
    DrawingResources().d2dFactory.Reset();
    const ComposedImage patchOnly = ComposeImageOverBackground(image.Get(), background.get(), 2, 2);
    EXPECT_FALSE(patchOnly.complete);
    ASSERT_TRUE(patchOnly.picture);
    EXPECT_TRUE(Near(ReadPixels(patchOnly.picture.get(), 2, 2)[0], Bgra(0, 255, 0, 0), 0, false));
}

TEST_F(SettingsDrawing, LoadImageOverBackgroundComposesAScaledTrack) {
    ASSERT_EQ(LoadBackgroundBitmap(1.25f), S_OK);
    const MemoryDc background = BitmapToMemoryDC(DrawingResources().background.Get());
    ASSERT_TRUE(background);
    const ComposedImage composed =
        LoadImageOverBackground(kImageSliderTrackNormal, 1.25f, background.get(), 40, 150);
    ASSERT_TRUE(composed.complete);
    const MemoryDc& track = composed.picture;
    const SIZE size = BitmapSize(track.get());
    EXPECT_EQ(size.cx, 125);
    EXPECT_EQ(size.cy, 43);
    // Opaque now: the white background shows in the track's clear corner.
    EXPECT_TRUE(Near(ReadPixels(track.get(), 125, 43)[0], Bgra(255, 255, 255, 0), 8, false));
    Save(track.get(), 125, 43, L"settings_drawing_track.png");

    const ComposedImage missing =
        LoadImageOverBackground(L"NO_SUCH_IMAGE", 1.25f, background.get(), 0, 0);
    EXPECT_FALSE(missing.complete);
    EXPECT_FALSE(missing.picture);
}

TEST_F(SettingsDrawing, MemoryDcOwnsItsBitmap) {
    MemoryDc dc = CreateMemoryDC(8, 4);
    ASSERT_TRUE(dc);
    HGDIOBJ bitmap = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
    EXPECT_EQ(BitmapSize(dc.get()).cx, 8);
    EXPECT_EQ(BitmapSize(dc.get()).cy, 4);
    dc.reset();
    EXPECT_EQ(::GetObjectType(bitmap), 0u);  // freed with its DC

    EXPECT_FALSE(CreateMemoryDC(0, 4));
    EXPECT_FALSE(CreateMemoryDC(4, -1));
}

TEST_F(SettingsDrawing, OffScreenPassCopiesItsRectangleAtTheEnd) {
    const std::uint32_t white = Bgra(255, 255, 255, 255);
    MemoryDc target = MakeDibDc(4, 4, std::vector<std::uint32_t>(16, white));
    {
        CMemDC2 pass(target.get(), RECT{1, 1, 3, 3});
        ASSERT_TRUE(pass.usesMemoryDc());
        const RECT area{1, 1, 3, 3};  // the target's coordinates
        ::FillRect(pass.get(), &area, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        EXPECT_EQ(DibPixels(target.get())[1 * 4 + 1], white);  // not yet
    }
    const auto pixels = ReadPixels(target.get(), 4, 4);
    EXPECT_EQ(pixels[1 * 4 + 1], 0u);
    EXPECT_EQ(pixels[2 * 4 + 2], 0u);
    EXPECT_EQ(pixels[0], 0x00FFFFFFu);
    EXPECT_EQ(pixels[3 * 4 + 3], 0x00FFFFFFu);

    // An empty rectangle stands for the target's clip box.
    CMemDC2 whole(target.get(), RECT{});
    EXPECT_EQ(whole.rect().right, 4);
    EXPECT_EQ(whole.rect().bottom, 4);
}

TEST_F(SettingsDrawing, TextFormatFollowsTheLanguage) {
    for (const int language : {1, 8, 13}) {
        g_languageOverride.store(language, std::memory_order_relaxed);
        const std::optional<TextStyle> style = FillTextStyle(kTextStyleBody);
        ASSERT_TRUE(style.has_value());
        ComPtr<IDWriteTextFormat> format;
        ASSERT_EQ(CreateTextFormatFor(&*style, &format), S_OK) << language;
        wchar_t family[64] = {};
        ASSERT_EQ(format->GetFontFamilyName(family, 64), S_OK);
        EXPECT_STREQ(family, language == 8 ? L"Meiryo" : L"Segoe UI");
        EXPECT_FLOAT_EQ(format->GetFontSize(), 13.0f * g_fontScale);
        EXPECT_EQ(format->GetReadingDirection(), language == 13
                                                     ? DWRITE_READING_DIRECTION_RIGHT_TO_LEFT
                                                     : DWRITE_READING_DIRECTION_LEFT_TO_RIGHT);
    }
}

TEST_F(SettingsDrawing, MeasuringGivesTheBoundsDrawingReports) {
    const std::optional<TextStyle> filled = FillTextStyleFor(kTextStyleBody, 1);
    ASSERT_TRUE(filled.has_value());
    const TextStyle& style = *filled;
    ComPtr<IDWriteTextFormat> format;
    ASSERT_EQ(CreateTextFormatFor(&style, &format), S_OK);

    const D2D1_RECT_F box{10.0f, 5.0f, 190.0f, 35.0f};
    const std::optional<D2D1_RECT_F> measured =
        MeasureTextInRect(L"Camera on", &style, format.Get(), box);
    ASSERT_TRUE(measured.has_value());
    const D2D1_RECT_F bounds = *measured;
    EXPECT_GE(bounds.left, box.left);
    EXPECT_GE(bounds.top, box.top);
    EXPECT_GT(bounds.right, bounds.left + 10.0f);
    EXPECT_LE(bounds.right, box.right);
    EXPECT_GT(bounds.bottom, bounds.top + 5.0f);
    EXPECT_FALSE(MeasureTextInRect(L"Camera on", nullptr, format.Get(), box).has_value());
    EXPECT_FALSE(MeasureTextInRect(L"Camera on", &style, nullptr, box).has_value());

    // Drawing the same text in the same box reports the same bounds.
    MemoryDc dc =
        MakeDibDc(200, 40, std::vector<std::uint32_t>(200 * 40, Bgra(255, 255, 255, 255)));
    const std::optional<D2D1_RECT_F> drawn =
        DrawTextOnDC(dc.get(), 200, 40, L"Camera on", &style, format.Get(), box);
    ASSERT_TRUE(drawn.has_value());
    EXPECT_FLOAT_EQ(drawn->left, bounds.left);
    EXPECT_FLOAT_EQ(drawn->top, bounds.top);
    EXPECT_FLOAT_EQ(drawn->right, bounds.right);
    EXPECT_FLOAT_EQ(drawn->bottom, bounds.bottom);
}

TEST_F(SettingsDrawing, DrawTextOnDcDrawsAndMeasures) {
    g_languageOverride.store(8, std::memory_order_relaxed);
    const std::optional<TextStyle> filled = FillTextStyle(kTextStyleSmall);
    ASSERT_TRUE(filled.has_value());
    const TextStyle& style = *filled;
    ComPtr<IDWriteTextFormat> format;
    ASSERT_EQ(CreateTextFormatFor(&style, &format), S_OK);
    const std::uint32_t white = Bgra(255, 255, 255, 255);
    MemoryDc dc = MakeDibDc(160, 30, std::vector<std::uint32_t>(160 * 30, white));
    const std::optional<D2D1_RECT_F> drawn =
        DrawTextOnDC(dc.get(), 160, 30, L"Lensbeacon", &style, format.Get(),
                     D2D1_RECT_F{0.0f, 0.0f, 160.0f, 30.0f});
    ASSERT_TRUE(drawn.has_value());
    const D2D1_RECT_F bounds = *drawn;
    EXPECT_GT(bounds.right - bounds.left, 10.0f);
    // Text over the DC's white picture: inked pixels inside the bounds, the
    // picture kept outside them.
    const auto pixels = DibPixels(dc.get());
    int inked = 0;
    int keptWhite = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 160; ++x) {
            const bool inside =
                x >= static_cast<int>(bounds.left) - 2 && x <= static_cast<int>(bounds.right) + 2 &&
                y >= static_cast<int>(bounds.top) - 2 && y <= static_cast<int>(bounds.bottom) + 2;
            const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * 160 + x)];
            if (inside) {
                inked += (pixel & 0x00FFFFFFu) != 0x00FFFFFFu ? 1 : 0;
            } else {
                keptWhite += (pixel & 0x00FFFFFFu) == 0x00FFFFFFu ? 1 : 0;
                EXPECT_EQ(pixel & 0x00FFFFFFu, 0x00FFFFFFu) << x << "," << y;
            }
        }
    }
    EXPECT_GT(inked, 20);
    EXPECT_GT(keptWhite, 100);
    Save(dc.get(), 160, 30, L"settings_drawing_text.png");

    DrawingResources().d2dFactory.Reset();
    EXPECT_FALSE(DrawTextOnDC(dc.get(), 160, 30, L"x", &style, format.Get(),
                              D2D1_RECT_F{0.0f, 0.0f, 160.0f, 30.0f})
                     .has_value());
}

}  // namespace
}  // namespace lensbeacon::settings
