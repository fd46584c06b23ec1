// The settings dialog's drop shadow: four layered, click-through popup strips
// (left, right, top, bottom) owned by the dialog, each showing a
// premultiplied-alpha image, kept glued to the dialog by subclassing its
// window procedure.
#pragma once

#include <windows.h>

#include "controls/fade_effect.h"
#include "controls/shadow_geometry.h"
#include "drawing/memory_dc.h"

namespace lensbeacon::settings {

inline constexpr wchar_t kShadowWindowClass[] = L"OutsideShadowWndClass";

class CWndShadow : public FadeFollowerPort, private ShadowStripPort {
  public:
    struct Strip {
        HWND window = nullptr;
        MemoryDc image;
        int width = 0;
        int height = 0;
        StripPlacement placement;
    };

    CWndShadow() noexcept;
    // Deletes the strip images. While the owner still lives, the shadow
    // first lets go of it (its window procedure back in place where nothing
    // subclassed it later) and destroys its strips, so no message of the
    // owner reaches a deleted shadow.
    virtual ~CWndShadow();
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;

    // Keeps the instance for the strip windows and registers their class;
    // TRUE also when the class exists already.
    static BOOL Initialize(HINSTANCE instance);

    void SetScale(float scale) noexcept { scale_ = scale; }
    float Scale() const noexcept { return scale_; }

    // Makes strip `index` from the image resource `name`. Index 0 also
    // attaches the shadow to the owner (status from its style, window
    // procedure subclassed). FALSE for an index outside 0..3, when the strip
    // window cannot be made, or when index 0 finds the owner already
    // shadowed (a second subclass would call itself for ever). A missing
    // image leaves the strip at zero size.
    BOOL CreateStrip(HWND owner, int index, const wchar_t* name);

    // The dialog's set-up: the four strips from "SHADOW_LEFT", "SHADOW_RIGHT",
    // "SHADOW_TOP" and "SHADOW_BOTTOM", each placed and, when the shadow is
    // shown, drawn. FALSE when the shadow could not attach to the owner.
    BOOL AttachToOwner(HWND owner);

    void SetPlacement(int index, const StripPlacement& placement) noexcept;
    // Moves strip `index` to its place and pushes its image with the alpha.
    void UpdateStrip(int index, HWND owner);
    // The strip's screen position; false for a bad index or anchor.
    [[nodiscard]] std::optional<POINT> StripPosition(HWND owner, int index) const;
    // Re-blends all four strips with a new constant alpha.
    void SetAlpha(BYTE alpha, HWND owner) override;

    BYTE Alpha() const noexcept { return alpha_; }
    BYTE Status() const noexcept { return follower_.Status(); }
    bool UpdatePending() const noexcept { return follower_.UpdatePending(); }
    const Strip& StripAt(int index) const noexcept { return strips_[index]; }
    HWND Owner() const noexcept { return owner_; }

    // The shadow attached to this owner, or null.
    static CWndShadow* FromOwner(HWND owner) noexcept;

  private:
    static LRESULT CALLBACK ShadowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void ShowStrips() override;
    void HideStrips() override;
    void UpdateStrips() override;
    void MoveStrips() override;
    void DestroyStrips() override;
    void PushImage(int index, HDC screen, POINT position);
    void LoadStripImage(Strip& strip, const wchar_t* name);

    Strip strips_[kShadowStripCount];
    ShadowFollower follower_;
    BYTE alpha_ = 255;
    float scale_ = 1.0f;
    HWND owner_ = nullptr;
};

}  // namespace lensbeacon::settings
