// The indicator's DirectWrite text drawing, against Wine's DirectWrite and
// GDI: the caption as the indicator draws it, read back from the bitmap, and
// the pixels the layered window is given.
#include "gdi_text_renderer.h"
#include "osd_canvas.h"
#include "text_renderer.h"

#include <lensbeacon/unique_owner.h>

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "lensbeacon/dib_info.h"

namespace lensbeacon::indicator {
namespace {

using Microsoft::WRL::ComPtr;

constexpr int kWidth = 128;
constexpr int kHeight = 75;
constexpr TextRect kCaptionRect{0, 52, kWidth, kHeight + 22};

// Columns and rows that hold ink, and how far it reaches.
struct Ink {
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    bool any() const { return right >= 0; }
};

// A 128 x 75 top-down 32-bit DIB section selected into a memory DC, as the
// indicator composes its window.
class TextBitmap : public ::testing::Test {
  protected:
    void SetUp() override {
        const BITMAPINFO info = Bitmap32Info(kWidth, -kHeight);
        void* bits = nullptr;
        dc_.reset(CreateCompatibleDC(nullptr));
        ASSERT_TRUE(dc_);
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(bitmap_);
        pixels_ = static_cast<std::uint32_t*>(bits);
        ASSERT_NE(SelectObject(dc_.get(), bitmap_.get()), nullptr);
        EnsureTextFactory();
    }
    void TearDown() override { ReleaseAllText(); }

    std::uint32_t Pixel(int x, int y) const { return pixels_[y * kWidth + x]; }
    std::vector<std::uint32_t> Snapshot() const {
        GdiFlush();
        return {pixels_, pixels_ + kWidth * kHeight};
    }
    // Ink is any colour channel lit on the black background.
    Ink FindInk() const {
        GdiFlush();
        Ink ink;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if ((Pixel(x, y) & 0x00FFFFFFu) == 0) {
                    continue;
                }
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
        return ink;
    }
    BOOL DrawCaption(const wchar_t* text, const TextRect& rect, int alignment) {
        if (!CreateTextSlot(0, dc_.get(), kWidth, kHeight)) {
            return FALSE;
        }
        return DrawTextInRect(dc_.get(), text, rect, alignment, 13.0f, FALSE);
    }

    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    std::uint32_t* pixels_ = nullptr;
};

TEST_F(TextBitmap, CaptionIsDrawnCentredInTheBandBelowTheGlyph) {
    ASSERT_TRUE(DrawCaption(L"Camera on", kCaptionRect, kTextCentreTop));
    const Ink ink = FindInk();
    ASSERT_TRUE(ink.any());
    EXPECT_GE(ink.top, 52);
    EXPECT_LE(ink.top, 52 + 8) << "the line box starts at the top of the rectangle";
    EXPECT_GE(ink.right - ink.left, 40) << "nine characters at 13 px";
    const int leftMargin = ink.left;
    const int rightMargin = kWidth - 1 - ink.right;
    EXPECT_NEAR(leftMargin, rightMargin, 3);
}

TEST_F(TextBitmap, UnknownAlignmentCodeKeepsLeadingAndTop) {
    ASSERT_TRUE(DrawCaption(L"Camera on", kCaptionRect, 9));
    const Ink ink = FindInk();
    ASSERT_TRUE(ink.any());
    EXPECT_LE(ink.left, 3);
    EXPECT_LE(ink.top, 52 + 8);
    EXPECT_GT(kWidth - 1 - ink.right, 20);
}

TEST_F(TextBitmap, LongTextStaysInsideTheRectangle) {
    const TextRect narrow{30, 10, 60, 20};
    ASSERT_TRUE(
        DrawCaption(L"Camerasareonandtheyaredrawingaverylongcaption", narrow, kTextLeadingTop));
    const Ink ink = FindInk();
    ASSERT_TRUE(ink.any());
    EXPECT_GE(ink.left, narrow.x);
    EXPECT_LT(ink.right, narrow.x + narrow.width);
    EXPECT_LT(ink.bottom, narrow.y + narrow.height);
}

TEST_F(TextBitmap, RefusedDrawingsLeaveTheBitmapAlone) {
    for (int i = 0; i < kWidth * kHeight; ++i) {
        pixels_[i] = 0x20406080u;
    }
    const std::vector<std::uint32_t> before = Snapshot();
    EXPECT_FALSE(DrawTextInRect(dc_.get(), L"Camera on", kCaptionRect, 1, 13.0f, FALSE))
        << "slot 0 is empty";
    ASSERT_TRUE(CreateTextSlot(0, dc_.get(), kWidth, kHeight));
    EXPECT_FALSE(DrawTextInRect(dc_.get(), nullptr, kCaptionRect, 1, 13.0f, FALSE));
    EXPECT_FALSE(DrawTextInRect(dc_.get(), L"Camera on", TextRect{0, 0, -1, 10}, 1, 13.0f, FALSE));
    ReleaseTextSlot(0);
    EXPECT_FALSE(DrawTextInRect(dc_.get(), L"Camera on", kCaptionRect, 1, 13.0f, FALSE));
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(TextBitmap, SlotNumbersOutsideTheTableAreRefused) {
    EXPECT_FALSE(CreateTextSlot(-1, dc_.get(), kWidth, kHeight));
    EXPECT_FALSE(CreateTextSlot(kTextSlotCount, dc_.get(), kWidth, kHeight));
    EXPECT_FALSE(CreateTextSlot(1000, dc_.get(), kWidth, kHeight));
    EXPECT_FALSE(CreateTextSlot(0, dc_.get(), -1, kHeight));
    EXPECT_EQ(TextSlotTarget(0), nullptr) << "a refused size leaves the slot empty";
    ReleaseTextSlot(kTextSlotCount);
    ReleaseTextSlot(-1);
    EXPECT_TRUE(CreateTextSlot(kTextSlotCount - 1, dc_.get(), kWidth, kHeight));
    EXPECT_NE(TextSlotTarget(kTextSlotCount - 1), nullptr);
}

TEST_F(TextBitmap, RefillingOrEmptyingASlotReleasesItsObjects) {
    ASSERT_TRUE(CreateTextSlot(0, dc_.get(), kWidth, kHeight));
    ComPtr<IDWriteBitmapRenderTarget> first = TextSlotTarget(0);
    ASSERT_TRUE(first);
    ASSERT_TRUE(CreateTextSlot(0, dc_.get(), kWidth, kHeight));
    ComPtr<IDWriteBitmapRenderTarget> second = TextSlotTarget(0);
    ASSERT_TRUE(second);
    EXPECT_NE(first.Get(), second.Get());
    // Neither the slot nor its renderer holds the first target any more.
    EXPECT_EQ(first.Detach()->Release(), 0u);
    ReleaseTextSlot(0);
    EXPECT_EQ(TextSlotTarget(0), nullptr);
    EXPECT_EQ(second.Detach()->Release(), 0u);
}

TEST_F(TextBitmap, RendererAnswersOnlyForItsInterfacesAndHoldsItsTarget) {
    ASSERT_TRUE(CreateTextSlot(0, dc_.get(), kWidth, kHeight));
    ComPtr<IDWriteBitmapRenderTarget> target = TextSlotTarget(0);
    ComPtr<IDWriteFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(
        DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                            reinterpret_cast<IUnknown**>(factory.GetAddressOf())));
    ComPtr<IDWriteRenderingParams> params;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateRenderingParams(&params));
    ComPtr<GdiTextRenderer> renderer = GdiTextRenderer::Create(target.Get(), params.Get());
    ASSERT_TRUE(renderer);

    for (const IID& iid :
         {__uuidof(IDWriteTextRenderer), __uuidof(IDWritePixelSnapping), __uuidof(IUnknown)}) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(renderer->QueryInterface(iid, reinterpret_cast<void**>(answer.GetAddressOf())),
                  S_OK);
        EXPECT_EQ(answer.Get(), static_cast<IUnknown*>(renderer.Get()));
    }
    void* unknown = &unknown;
    EXPECT_EQ(renderer->QueryInterface(__uuidof(IDWriteTextFormat), &unknown), E_FAIL);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(renderer->AddRef(), 2u);
    EXPECT_EQ(renderer->Release(), 1u);
    EXPECT_EQ(renderer->DrawUnderline(nullptr, 0, 0, nullptr, nullptr), E_NOTIMPL);

    // The slot, the test and the renderer each hold the target; the last
    // reference of the renderer gives its share back.
    ReleaseTextSlot(0);
    renderer.Reset();
    EXPECT_EQ(target.Detach()->Release(), 0u);
}

// The text target writes colour and leaves alpha 0 under the glyphs. Handed
// to the layered window as they are, those pixels are invalid premultiplied
// colour and the caption would not show; after the cover every pixel of the
// band is valid and the glyphs carry their coverage as alpha.
TEST(OsdCaption, CaptionPixelsBecomeValidPremultipliedColour) {
    OsdCanvas canvas;
    ASSERT_TRUE(canvas.Create(kWidth, kHeight));
    ASSERT_TRUE(canvas.HasBitmap());
    EnsureTextFactory();
    ASSERT_TRUE(CreateTextSlot(0, canvas.Dc(), kWidth, kHeight));
    ASSERT_TRUE(
        DrawTextInRect(canvas.Dc(), L"Camera on", kCaptionRect, kTextCentreTop, 13.0f, FALSE));
    ReleaseAllText();
    GdiFlush();
    const auto invalidPixels = [&canvas](int top, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t pixel = canvas.Row(y)[x];
                const std::uint32_t alpha = pixel >> 24;
                count += ((pixel & 0xFFu) > alpha || ((pixel >> 8) & 0xFFu) > alpha ||
                          ((pixel >> 16) & 0xFFu) > alpha)
                             ? 1
                             : 0;
            }
        }
        return count;
    };
    ASSERT_GT(invalidPixels(52, kHeight), 10) << "the text target wrote no bare colour";

    static_cast<void>(canvas.CoverColourWithAlpha(52, kHeight));
    EXPECT_EQ(invalidPixels(0, kHeight), 0);
    int opaqueInk = 0;
    for (int y = 52; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            opaqueInk += (canvas.Row(y)[x] >> 24) > 128 ? 1 : 0;
        }
    }
    EXPECT_GT(opaqueInk, 10) << "the glyphs did not keep their coverage";
    EXPECT_EQ(canvas.Row(kHeight), nullptr);
    EXPECT_EQ(canvas.Row(-1), nullptr);
}

}  // namespace
}  // namespace lensbeacon::indicator
