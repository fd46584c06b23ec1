// The settings program's description in each of its twenty languages, laid
// out and drawn by Wine's DirectWrite with the families the program asks for
// ("Segoe UI", "Meiryo" for Japanese; right to left for Arabic). Every
// character must reach a real glyph of some installed font, and ink must land
// where the reading direction puts it. The fonts that drew each language are
// printed and kept as test properties; one picture per language is saved.
#include "lensbeacon/localized_texts.h"
#include "screen_capture.h"

#include <windows.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "lensbeacon/dib_info.h"

namespace lensbeacon::settings {
namespace {

using Microsoft::WRL::ComPtr;

constexpr int kWidth = 1400;
constexpr int kHeight = 48;
constexpr float kFontSize = 18.0f;
constexpr COLORREF kInkColour = RGB(255, 255, 255);

// One glyph run as DirectWrite handed it to the renderer.
struct DrawnRun {
    ComPtr<IDWriteFontFace> face;
    std::vector<UINT16> glyphs;
    std::wstring text;  // the characters the run stands for
    RECT ink{};         // the pixels the run touched
};

// Draws every glyph run into a bitmap render target and keeps what it drew.
// It lives on the test's stack; reference counts never free it.
class RecordingRenderer final : public IDWriteTextRenderer {
  public:
    RecordingRenderer(IDWriteBitmapRenderTarget* target, IDWriteRenderingParams* params)
        : target_(target), params_(params) {}

    std::vector<DrawnRun> runs;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, __uuidof(IDWriteTextRenderer)) ||
            IsEqualIID(iid, __uuidof(IDWritePixelSnapping)) ||
            IsEqualIID(iid, __uuidof(IUnknown))) {
            *object = static_cast<IDWriteTextRenderer*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE IsPixelSnappingDisabled(void*, BOOL* disabled) override {
        *disabled = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentTransform(void*, DWRITE_MATRIX* transform) override {
        return target_->GetCurrentTransform(transform);
    }
    HRESULT STDMETHODCALLTYPE GetPixelsPerDip(void*, FLOAT* pixelsPerDip) override {
        *pixelsPerDip = target_->GetPixelsPerDip();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE DrawGlyphRun(void*, FLOAT x, FLOAT y, DWRITE_MEASURING_MODE mode,
                                           const DWRITE_GLYPH_RUN* run,
                                           const DWRITE_GLYPH_RUN_DESCRIPTION* description,
                                           IUnknown*) override {
        DrawnRun drawn;
        drawn.face = run->fontFace;
        drawn.glyphs.assign(run->glyphIndices, run->glyphIndices + run->glyphCount);
        if (description != nullptr && description->string != nullptr) {
            drawn.text.assign(description->string, description->stringLength);
        }
        const HRESULT result =
            target_->DrawGlyphRun(x, y, mode, run, params_, kInkColour, &drawn.ink);
        runs.push_back(std::move(drawn));
        return result;
    }
    HRESULT STDMETHODCALLTYPE DrawUnderline(void*, FLOAT, FLOAT, const DWRITE_UNDERLINE*,
                                            IUnknown*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawStrikethrough(void*, FLOAT, FLOAT, const DWRITE_STRIKETHROUGH*,
                                                IUnknown*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawInlineObject(void*, FLOAT, FLOAT, IDWriteInlineObject*, BOOL,
                                               BOOL, IUnknown*) override {
        return S_OK;
    }

  private:
    IDWriteBitmapRenderTarget* target_;
    IDWriteRenderingParams* params_;
};

// Columns and rows that hold ink.
struct Ink {
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    bool any() const { return right >= 0; }
};

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) {
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return narrow;
}

bool IsBlank(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c == L' '; });
}

// The family name of a font as the system collection lists it first.
std::wstring FamilyName(IDWriteFont* font) {
    ComPtr<IDWriteFontFamily> family;
    ComPtr<IDWriteLocalizedStrings> names;
    UINT32 length = 0;
    if (FAILED(font->GetFontFamily(&family)) || FAILED(family->GetFamilyNames(&names)) ||
        names->GetCount() == 0 || FAILED(names->GetStringLength(0, &length))) {
        return L"?";
    }
    std::wstring name(length + 1, L'\0');
    if (FAILED(names->GetString(0, name.data(), length + 1))) {
        return L"?";
    }
    name.resize(length);
    return name;
}

// The file a font face was read from, when a local loader serves it.
std::wstring FontFilePath(IDWriteFontFace* face) {
    UINT32 count = 1;
    ComPtr<IDWriteFontFile> file;
    ComPtr<IDWriteFontFileLoader> loader;
    ComPtr<IDWriteLocalFontFileLoader> local;
    const void* key = nullptr;
    UINT32 keySize = 0;
    UINT32 length = 0;
    if (FAILED(face->GetFiles(&count, file.GetAddressOf())) || !file ||
        FAILED(file->GetLoader(&loader)) || FAILED(loader.As(&local)) ||
        FAILED(file->GetReferenceKey(&key, &keySize)) ||
        FAILED(local->GetFilePathLengthFromKey(key, keySize, &length))) {
        return L"";
    }
    std::wstring path(length + 1, L'\0');
    if (FAILED(local->GetFilePathFromKey(key, keySize, path.data(), length + 1))) {
        return L"";
    }
    path.resize(length);
    return path.substr(path.find_last_of(L"\\/") + 1);
}

class SettingsFonts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_HRESULT_SUCCEEDED(
            DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                reinterpret_cast<IUnknown**>(factory_.GetAddressOf())));
        ASSERT_HRESULT_SUCCEEDED(factory_->GetSystemFontCollection(&fonts_));
    }
    static void TearDownTestSuite() {
        fonts_.Reset();
        factory_.Reset();
    }

    // The regular font of a family of the system collection, or none.
    static ComPtr<IDWriteFont> RegularFont(const wchar_t* familyName) {
        UINT32 index = 0;
        BOOL exists = FALSE;
        ComPtr<IDWriteFontFamily> family;
        ComPtr<IDWriteFont> font;
        if (SUCCEEDED(fonts_->FindFamilyName(familyName, &index, &exists)) && exists &&
            SUCCEEDED(fonts_->GetFontFamily(index, &family))) {
            family->GetFirstMatchingFont(DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                         DWRITE_FONT_STYLE_NORMAL, &font);
        }
        return font;
    }

    static ComPtr<IDWriteFactory> factory_;
    static ComPtr<IDWriteFontCollection> fonts_;
};

ComPtr<IDWriteFactory> SettingsFonts::factory_;
ComPtr<IDWriteFontCollection> SettingsFonts::fonts_;

TEST_F(SettingsFonts, TheProgramsFamiliesResolveToFontsOfTheirScripts) {
    const ComPtr<IDWriteFont> segoe = RegularFont(L"Segoe UI");
    ASSERT_TRUE(segoe) << "no font stands in for \"Segoe UI\"";
    const ComPtr<IDWriteFont> meiryo = RegularFont(L"Meiryo");
    ASSERT_TRUE(meiryo) << "no font stands in for \"Meiryo\"";
    const UINT32 latin[] = {L'L', 0x00E9, 0x0142, 0x0131, 0x0103, 0x0301, 0x0323, 0x0436};
    for (const UINT32 c : latin) {
        BOOL has = FALSE;
        EXPECT_HRESULT_SUCCEEDED(segoe->HasCharacter(c, &has));
        EXPECT_TRUE(has) << "\"Segoe UI\" lacks U+" << std::hex << c;
    }
    // "Meiryo" must be a Japanese font: kana, kanji and Latin in one face.
    for (const UINT32 c : {0x30AAu, 0x3092u, 0x6A5Fu, 0x80FDu, 0x3002u, 0x004Cu}) {
        BOOL has = FALSE;
        EXPECT_HRESULT_SUCCEEDED(meiryo->HasCharacter(c, &has));
        EXPECT_TRUE(has) << "\"Meiryo\" lacks U+" << std::hex << c;
    }
    std::printf("Segoe UI -> %ls, Meiryo -> %ls\n", FamilyName(segoe.Get()).c_str(),
                FamilyName(meiryo.Get()).c_str());
}

class LanguageDrawing : public SettingsFonts, public ::testing::WithParamInterface<int> {
  protected:
    // Lays out and draws one text of a language as the settings program asks
    // for it, checks its glyphs and ink, and reports the fonts that drew it.
    void DrawAndCheck(int index, int kind);
};

TEST_P(LanguageDrawing, EveryCharacterGetsARealGlyphAndInkFollowsTheReadingDirection) {
    for (const int kind : {kTextDescription, kTextOff, kTextOn}) {
        SCOPED_TRACE(kind);
        DrawAndCheck(GetParam(), kind);
    }
}

void LanguageDrawing::DrawAndCheck(int index, int kind) {
    const std::wstring text = GetLocalizedText(index, kind);
    ASSERT_FALSE(text.empty());
    const wchar_t* family = UsesMeiryo(index) ? L"Meiryo" : L"Segoe UI";

    ComPtr<IDWriteGdiInterop> interop;
    ComPtr<IDWriteBitmapRenderTarget> target;
    ComPtr<IDWriteRenderingParams> params;
    ASSERT_HRESULT_SUCCEEDED(factory_->GetGdiInterop(&interop));
    ASSERT_HRESULT_SUCCEEDED(interop->CreateBitmapRenderTarget(nullptr, kWidth, kHeight, &target));
    ASSERT_HRESULT_SUCCEEDED(factory_->CreateRenderingParams(&params));

    ComPtr<IDWriteTextFormat> format;
    ASSERT_HRESULT_SUCCEEDED(factory_->CreateTextFormat(
        family, nullptr, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL,
        DWRITE_FONT_STRETCH_NORMAL, kFontSize, L"en-us", &format));
    ASSERT_HRESULT_SUCCEEDED(format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP));
    if (IsRightToLeft(index)) {
        ASSERT_HRESULT_SUCCEEDED(
            format->SetReadingDirection(DWRITE_READING_DIRECTION_RIGHT_TO_LEFT));
    }
    ComPtr<IDWriteTextLayout> layout;
    ASSERT_HRESULT_SUCCEEDED(factory_->CreateTextLayout(
        text.c_str(), static_cast<UINT32>(text.size()), format.Get(), static_cast<float>(kWidth),
        static_cast<float>(kHeight), &layout));
    DWRITE_TEXT_METRICS metrics{};
    ASSERT_HRESULT_SUCCEEDED(layout->GetMetrics(&metrics));
    ASSERT_LT(metrics.width, static_cast<float>(kWidth) - 8.0f) << "the line must fit";

    RecordingRenderer renderer(target.Get(), params.Get());
    ASSERT_HRESULT_SUCCEEDED(layout->Draw(nullptr, &renderer, 0.0f, 0.0f));
    ASSERT_FALSE(renderer.runs.empty());

    // Every character was handed to some run, and no run holds the
    // missing-glyph box (glyph 0) or drew nothing where it had letters.
    std::size_t characters = 0;
    std::set<std::wstring> fontsUsed;
    for (const DrawnRun& run : renderer.runs) {
        characters += run.text.size();
        ComPtr<IDWriteFont> font;
        const std::wstring familyName =
            SUCCEEDED(fonts_->GetFontFromFontFace(run.face.Get(), &font)) ? FamilyName(font.Get())
                                                                          : L"?";
        fontsUsed.insert(familyName + L" (" + FontFilePath(run.face.Get()) + L")");
        const auto missing = std::count(run.glyphs.begin(), run.glyphs.end(), UINT16{0});
        EXPECT_EQ(missing, 0) << "boxes in \"" << Narrow(run.text) << "\" from "
                              << Narrow(familyName);
        if (!IsBlank(run.text)) {
            EXPECT_GT(run.ink.right, run.ink.left)
                << "no ink for \"" << Narrow(run.text) << "\" from " << Narrow(familyName);
        }
    }
    EXPECT_EQ(characters, text.size());

    // Read the bitmap back, top row first: white ink on the render target's black.
    const HDC dc = target->GetMemoryDC();
    BITMAPINFO info = Bitmap32Info(kWidth, -kHeight);
    test::ScreenPixels picture;
    picture.width = kWidth;
    picture.height = kHeight;
    picture.pixels.resize(static_cast<std::size_t>(kWidth) * kHeight);
    GdiFlush();
    ASSERT_EQ(GetDIBits(dc, static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)), 0, kHeight,
                        picture.pixels.data(), &info, DIB_RGB_COLORS),
              kHeight);
    Ink ink;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            std::uint32_t& colour =
                picture.pixels[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)];
            colour &= 0x00FFFFFFu;
            if (colour != 0) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
    }
    const std::wstring folder = test::ScreenshotFolder();
    if (!folder.empty()) {
        wchar_t name[40];
        swprintf(name, 40, L"settings_fonts_%02d_%d.png", index, kind);
        test::SavePng(picture, folder + name);
    }

    ASSERT_TRUE(ink.any());
    EXPECT_GE(ink.bottom - ink.top, 8) << "letters at 18 px";
    const int leftMargin = ink.left;
    const int rightMargin = kWidth - 1 - ink.right;
    if (IsRightToLeft(index)) {
        EXPECT_LE(rightMargin, 8) << "right-to-left text starts at the right edge";
        EXPECT_GE(leftMargin, kWidth / 4);
    } else {
        EXPECT_LE(leftMargin, 8) << "left-to-right text starts at the left edge";
        EXPECT_GE(rightMargin, 8);
    }

    std::wstring report;
    for (const std::wstring& used : fontsUsed) {
        report += (report.empty() ? L"" : L"; ") + used;
    }
    std::printf("language %2d, kind %d (%ls): %ls\n", index, kind, family, report.c_str());
    RecordProperty("fonts" + std::to_string(kind), Narrow(report));
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, LanguageDrawing, ::testing::Range(1, kLanguageCount + 1));

}  // namespace
}  // namespace lensbeacon::settings
