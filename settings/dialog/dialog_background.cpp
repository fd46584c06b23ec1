// The settings dialog's background: the "BKGND" image with the description
// (and, while the policy holds the switch, the managed notice) drawn into it
// once, kept as a memory DC and copied to the screen on every erase.
#include <cmath>
#include <optional>

#include "dialog/dialog_layout.h"
#include "dialog/lensdial_dlg.h"
#include "drawing/drawing.h"
#include "lensbeacon/localized_texts.h"

namespace lensbeacon::settings {

using Microsoft::WRL::ComPtr;

void CLensdialDlg::BuildBackground() {
    SharedDrawingResources& resources = DrawingResources();
    if (SUCCEEDED(LoadBackgroundBitmap(g_scale)) && resources.background) {
        UINT width = 0;
        UINT height = 0;
        if (SUCCEEDED(resources.background->GetSize(&width, &height))) {
            width_ = static_cast<int>(width);
            height_ = static_cast<int>(height);
        }
        DrawDescription(resources.background.Get());
    }
    windowDc_.emplace(Handle());
    if (resources.background) {
        // Without the copy the erase paints nothing (PaintBackground tests it).
        backgroundDc_ = BitmapToMemoryDC(resources.background.Get());
    }
}

void CLensdialDlg::DrawDescription(IWICBitmap* background) {
    const std::optional<TextStyle> filled = FillTextStyle(kTextStyleSmall);
    ComPtr<IDWriteTextFormat> format;
    // Without DirectWrite the dialog draws no text.
    if (!filled || FAILED(CreateTextFormatFor(&*filled, &format))) {
        return;
    }
    const TextStyle& style = *filled;
    const DWRITE_TRIMMING trimming{DWRITE_TRIMMING_GRANULARITY_CHARACTER, 0, 0};
    format->SetTrimming(&trimming, nullptr);
    format->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_LEADING);
    format->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);

    const wchar_t* text = GetLocalizedText(kTextDescription);
    const auto top = static_cast<float>(Scaled(kDescriptionTop));
    const auto bottom = static_cast<float>(Scaled(kDescriptionBottom));
    // Unmeasured, the text is drawn in an empty box.
    const D2D1_RECT_F measured =
        MeasureTextInRect(
            text, &style, format.Get(),
            D2D1_RECT_F{0.0f, top, static_cast<float>(Scaled(kDescriptionWidth)), bottom})
            .value_or(D2D1_RECT_F{});
    // Rounded up: a box narrower than the widest line would wrap it anew.
    const int width = static_cast<int>(std::ceil(measured.right - measured.left));
    const auto left = static_cast<float>((width_ - width) / 2);

    // Drawn through the shared DC render target into a picture of the
    // background's size, then written back into the bitmap.
    UINT pictureWidth = 0;
    UINT pictureHeight = 0;
    if (FAILED(background->GetSize(&pictureWidth, &pictureHeight))) {
        return;
    }
    const PictureTarget drawing(static_cast<int>(pictureWidth), static_cast<int>(pictureHeight));
    ID2D1RenderTarget* target = drawing.Target();
    if (target == nullptr) {
        return;
    }
    // The pass draws the picture itself first, over a cleared target.
    ComPtr<ID2D1Bitmap> picture;
    const HRESULT copied = target->CreateBitmapFromWicBitmap(background, nullptr, &picture);
    target->BeginDraw();
    target->Clear(D2D1::ColorF(0.0f, 0.0f, 0.0f, 0.0f));
    if (SUCCEEDED(copied)) {
        target->DrawBitmap(picture.Get());
    }
    DrawTextInRect(target, text, &style, format.Get(),
                   D2D1_RECT_F{left, top, left + static_cast<float>(width), bottom});
    if (heldSwitch_ != PolicySetting::NotConfigured) {
        // In the same style, beside the switch it explains; two lines at most.
        const D2D1_RECT_F notice{static_cast<float>(Scaled(kNoticeX)),
                                 static_cast<float>(Scaled(kSwitchY)),
                                 static_cast<float>(Scaled(kNoticeRight)),
                                 static_cast<float>(Scaled(kSwitchY + kSwitchHeight))};
        DrawTextInRect(target, GetManagedNotice(), &style, format.Get(), notice);
    }
    // A drawing that failed, or could not be written back, leaves the
    // background as it was loaded.
    if (SUCCEEDED(target->EndDraw())) {
        static_cast<void>(drawing.CopyTo(background));
    }
}

void CLensdialDlg::PaintBackground(HDC dc) {
    RECT client{};
    if (!::GetClientRect(Handle(), &client) || backgroundDc_.get() == nullptr) {
        return;
    }
    CMemDC2 memory(dc, client);
    ::BitBlt(memory.get(), client.left, client.top, client.right - client.left,
             client.bottom - client.top, backgroundDc_.get(), client.left, client.top, SRCCOPY);
}

}  // namespace lensbeacon::settings
