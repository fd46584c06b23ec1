// The settings dialog's on/off switch: a child window drawn from a track (a
// normal and a pressed look) and a knob, composed once over its own copy of
// the dialog's background, then only blitted and alpha-blended between
// memory DCs. SelectorCore decides; this class draws, times and tells.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "controls/selector_core.h"
#include "controls/animated_port_control.h"
#include "drawing/memory_dc.h"
#include "lensbeacon/unique_owner.h"
#include "winframe/window.h"

namespace lensbeacon::settings {

class CSelectorWndEx2 : public AnimatedPortControl<winframe::Window, SelectorPort> {
  public:
    CSelectorWndEx2() noexcept;
    ~CSelectorWndEx2() override;

    // Creates the switch as a child of `parent` at (x, y), width by height,
    // over `parentBackground` (the dialog's background DC, not owned), with
    // the track at (trackX, trackY) inside it and the images scaled by
    // `imageScale` (g_scale when that is not a positive number). The switch
    // has two positions whatever `count` says; `initial` is kept within
    // them. FALSE when the window cannot be made (or this object already has
    // one); nothing else is set then.
    BOOL CreateSelector(HWND parent, HDC parentBackground, int x, int y, int width, int height,
                        int trackX, int trackY, float imageScale, int count, int initial);
    // value/absolute/notify as in SelectorCore::SetPosition.
    BOOL SetPosition(int value, BOOL absolute, BOOL notify);
    // Only when created and the enabled state differs: changes it, TRUE.
    // Disabling ends a drag where the knob is.
    BOOL EnableSelector(BOOL enable);
    // Releases images and DCs, releases the window DC, destroys the window,
    // clears created.
    void CleanUp();
    // What screen readers call the switch: the dialog's description.
    void SetAccessibleName(std::wstring name) { accessibleName_ = std::move(name); }
    // Why the switch cannot be moved, when something holds it: read after
    // the name.
    void SetAccessibleDescription(std::wstring text) { accessibleDescription_ = std::move(text); }
    // The dialog turns focus cues on at the first key press; until then
    // the focused switch looks as it does unfocused.
    void ShowFocusCues();

    bool Created() const noexcept { return core_.Created(); }
    bool Dragging() const noexcept { return core_.Dragging(); }
    int Position() const noexcept { return core_.Position(); }

    const SelectorCore& Core() const noexcept { return core_; }
    // Everything is composed here before it reaches the screen.
    HDC BackBuffer() const noexcept { return backBuffer_.get(); }
    bool HasFadePictures() const noexcept { return static_cast<bool>(fade_[0][kBlended]); }

  protected:
    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnAnimationTick() override;
    void OnControlDestroy() override;

  private:
    // The track's pictures by row and look. Missing looks share the DC of
    // another slot; each distinct DC is deleted once.
    class TrackPictures {
      public:
        TrackPictures() noexcept = default;
        ~TrackPictures() { Release(); }
        TrackPictures(const TrackPictures&) = delete;
        TrackPictures& operator=(const TrackPictures&) = delete;

        HDC At(int row, int state) const noexcept;
        TrackHandles<HDC>& Slots() noexcept { return slots_; }
        void Release() noexcept;

      private:
        TrackHandles<HDC> slots_{};
    };

    // The timer the track's cross-fade runs on.
    static constexpr UINT_PTR kAnimationTimer = 1;
    static constexpr UINT kAnimationPeriod = 25;

    // The cross-fade pictures of each row.
    static constexpr int kFrom = 0;
    static constexpr int kTo = 1;
    static constexpr int kBlended = 2;

    bool IsEnabled() override;
    DWORD Now() override;
    void LoadFadeTarget(int state) override;
    void KeepShownTrack() override;
    void DrawTrack(const TrackDrawing& drawing) override;
    void DrawKnob(int x, int y) override;
    void Show(const RECT& area) override;
    void PostPosition(int position) override;
    void Publish(bool on) override;

    // The pictures (selector_pictures.cpp): loading, the cross-fade's
    // pictures, and composing the track and the knob into the back buffer.
    // Screen readers and the keyboard (selector_access.cpp): the switch is
    // a check button, Space toggles it like a click, and it shows a focus
    // rectangle while it has the focus and focus cues are on.
    winframe::AccessibleDescription Describe() override;
    bool DoDefaultAction() override;
    bool OnAccessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool FocusShown();
    void StateChanged();

    void LoadImages(float scale);
    void MakeFadePictures();
    void ReleaseImages() noexcept;
    void Paint();

    SelectorCore core_;
    HDC background_ = nullptr;
    std::optional<WindowDc> windowDc_;
    MemoryDc backBuffer_;
    MemoryDc knob_;
    // Where the switch lies on the dialog, and its layout: the sizes and
    // places it was made with and the scaled image sizes, as the core has
    // them. A missing image has size 0.
    int x_ = 0;
    int y_ = 0;
    SelectorLayout layout_;
    TrackPictures track_;
    MemoryDc fade_[2][3];
    std::wstring accessibleName_;
    std::wstring accessibleDescription_;
    bool focusCues_ = false;
};

}  // namespace lensbeacon::settings
