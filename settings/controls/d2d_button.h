// The settings dialog's close button: a system push button whose three looks
// are pictures composed once with Direct2D over the dialog's background, and
// which cross-fades between them as the mouse enters, leaves, presses and
// releases it. Clicks reach the dialog as the usual BN_CLICKED.
#pragma once

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <optional>

#include "controls/button_looks.h"
#include "controls/animated_port_control.h"
#include "drawing/drawing_resources.h"
#include "drawing/memory_dc.h"
#include "winframe/button.h"

namespace lensbeacon::settings {

// Screen readers read it as the push button "Close".
class CD2DButton : public AnimatedPortControl<winframe::SubclassedButton, ButtonLookPort> {
  public:
    static constexpr UINT_PTR kFadeTimer = 1;
    static constexpr UINT kFadePeriod = 36;

    CD2DButton() noexcept;
    ~CD2DButton() override;

    // Takes over the dialog's button with this id and makes it owner-drawn.
    BOOL AttachToDialog(HWND dialog, int id);

    // Keeps the background (borrowed, may be null) and loads the three look
    // images at their natural size; the display size is the normal image's
    // size times `scale`, rounded. Registers the button as a user of the
    // shared drawing resources until its pictures exist. 1 on success, 0
    // when the normal image is missing.
    int InitImages(IWICBitmap* background, float scale);

    // Lets go of the source images and the background and leaves the drawing
    // users. A second call changes nothing.
    void ReleaseImages();

    // Composes the three look pictures over the part of the background that
    // lies under the button, once (later changes of the background are not
    // picked up). The button does this on a reflected WM_CTLCOLORBTN, or at
    // the latest on its first DrawItem. Without the normal image nothing is
    // composed and the button paints nothing of its own.
    void ComposeLooks();

    void SetAnimate(bool animate) noexcept { looks_.SetAnimate(animate); }
    bool Animate() const noexcept { return looks_.Animate(); }
    bool Built() const noexcept { return looks_.Built(); }
    int Look() const noexcept { return looks_.Look(); }
    bool Fading() const noexcept { return looks_.Fading(); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // The picture every paint shows, null before the looks are composed.
    HDC DisplayPicture() const noexcept { return display_.get(); }
    HDC LookPicture(int look) const noexcept;

  protected:
    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnAnimationTick() override;
    BOOL DrawItem(const DRAWITEMSTRUCT& item) override;
    BOOL OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    bool TrackMouse() override;
    bool SnapshotScreen() override;
    void ShowLook(int look) override;
    void BlendLook(int look, int alpha) override;
    void Invalidate() override;

    void ComposeWithDirect2D(int width, int height, LONG left, LONG top);
    winframe::AccessibleDescription Describe() override;
    bool DoDefaultAction() override;

    ButtonLooks looks_;
    int width_ = 0;
    int height_ = 0;
    IWICBitmap* background_ = nullptr;
    Microsoft::WRL::ComPtr<IWICBitmapSource> images_[3];
    // A user of the shared drawing resources from InitImages until the
    // pictures exist.
    std::optional<DrawingUser> drawingUser_;
    MemoryDc lookPictures_[3];
    MemoryDc from_;
    MemoryDc display_;
};

}  // namespace lensbeacon::settings
