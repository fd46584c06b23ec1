// The optional label beside the settings switch that repeats its position as
// a word ("Off" or "On" in the user's language). Its texts are rendered once,
// anti-aliased over its own copy of the dialog's background, and afterwards
// only swapped when the switch posts WM_SWITCH_POSITION. It takes no input.
#pragma once

#include <windows.h>
#include <d2d1.h>

#include <optional>
#include <string>

#include "drawing/memory_dc.h"
#include "lensbeacon/unique_owner.h"
#include "winframe/animated_control.h"
#include "winframe/window.h"

namespace lensbeacon::settings {

// Posted by the switch to the label with wParam 1 and lParam the new
// position (0 Off, 1 On) whenever the position changes.
inline constexpr UINT WM_SWITCH_POSITION = WM_USER + 361;

// The label's window while it exists, else null; the switch posts to it.
extern HWND g_hTipLabel;

// Where a text rendering sits inside the label.
struct TextPatch {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The whole pixels that cover the layout bounds (floor of the top-left, ceil
// of the bottom-right), kept inside the label's box of width by height.
TextPatch TextPatchFromBounds(const D2D1_RECT_F& bounds, int width, int height) noexcept;

// Whether showing text `index` changes anything: an index of a built text
// that is not already shown.
bool ShouldShowText(int index, int count, int shown) noexcept;

// Screen readers read the label as static text: the word it shows.
// It does not animate: the base's timer is not used.
class CStaticTextWnd : public winframe::AnimatedControl<winframe::Window> {
  public:
    static constexpr int kSlots = 4;
    static constexpr int kTextCount = 2;

    CStaticTextWnd() noexcept;
    ~CStaticTextWnd() override;

    // Creates the label as a child of `parent` at (x, y), width by height,
    // over `background` (the dialog's background DC, not owned), renders
    // texts[0] (Off) and texts[1] (On) and shows texts[initial]. FALSE when
    // the window cannot be made; nothing else is set then.
    BOOL CreateLabel(HWND parent, HDC background, const wchar_t* const texts[kTextCount], int x,
                     int y, int width, int height, int initial);

    // Shows text `index` in the composed picture; true when that changed it.
    bool ShowText(int index);

    // Deletes the pictures, releases the window DC and destroys the window.
    void CleanUp();

    bool Created() const noexcept { return created_; }
    int Count() const noexcept { return count_; }
    int Shown() const noexcept { return shown_; }
    const TextPatch& Patch(int index) const noexcept { return textRects_[index]; }
    HDC ComposedPicture() const noexcept { return composed_.get(); }
    HDC TextPicture(int index) const noexcept { return textDcs_[index].get(); }

  protected:
    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnControlDestroy() override;

  private:
    winframe::AccessibleDescription Describe() override;
    void BuildTexts(const wchar_t* const texts[kTextCount]);
    void RestoreBackground(const TextPatch& patch);
    void Paint();

    // The window's DC, or null when the window has none.
    HDC WindowPicture() const noexcept { return windowDc_ ? windowDc_->get() : nullptr; }

    HDC background_ = nullptr;
    std::optional<WindowDc> windowDc_;
    MemoryDc composed_;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    MemoryDc textDcs_[kSlots];
    TextPatch textRects_[kSlots];
    int count_ = 0;
    int shown_ = -1;
    bool created_ = false;
    std::wstring texts_[kTextCount];
};

}  // namespace lensbeacon::settings
