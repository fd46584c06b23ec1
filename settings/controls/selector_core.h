// The settings switch's behaviour without a window: the knob's positions
// along the track and the hit regions they make, the snapping of a dragged
// knob to the nearest position, click-to-step, the presses, moves, releases
// and leaves of the mouse, position changes from the keys, and the 250 ms
// cross-fade of the track between its normal and pressed looks. Everything it
// draws, shows, times, posts and publishes goes through SelectorPort.
#pragma once

#include <windows.h>

#include <array>

#include "controls/animation_port.h"
#include "controls/mouse_event_ctrl.h"

namespace lensbeacon::settings {

// Looks of the knob and of the track.
inline constexpr int kSelectorNormal = 0;
inline constexpr int kSelectorHot = 1;
inline constexpr int kSelectorPressed = 2;

// One composition of the track into the back buffer.
struct TrackDrawing {
    // Copy the dialog's background under the whole control first.
    bool refreshBackground = false;
    // Column of the track image where the knob sits: row 0's pictures are
    // drawn from it to the track's right end, row 1's from 0 up to it.
    int split = 0;
    // Track look whose pictures are drawn (and kept as what is on screen).
    int state = kSelectorNormal;
    // Draw the cross-fade instead: the from pictures with the to pictures laid
    // over them at constant `alpha` (0 ... 255) and per-pixel alpha.
    bool blend = false;
    int alpha = 255;
};

// What the switch does to its window; its animation timer has id 1 and a
// period of 25 ms.
class SelectorPort : public AnimationPort {
  public:
    virtual bool IsEnabled() = 0;
    // Milliseconds of the system tick count.
    virtual DWORD Now() = 0;
    // Cross-fade pictures: to := the track pictures of `state`; from := what
    // the screen shows of the track.
    virtual void LoadFadeTarget(int state) = 0;
    virtual void KeepShownTrack() = 0;
    virtual void DrawTrack(const TrackDrawing& drawing) = 0;
    // Lays the knob over the back buffer with its per-pixel alpha.
    virtual void DrawKnob(int x, int y) = 0;
    // Copies the rectangle (control coordinates) of the back buffer to the
    // screen.
    virtual void Show(const RECT& area) = 0;
    // Tells the label the new position, and the service the new switch.
    virtual void PostPosition(int position) = 0;
    virtual void Publish(bool on) = 0;

  protected:
    ~SelectorPort() = default;
};

// The control's size, where its track lies in it, the scaled image sizes,
// and the positions. A missing image has size 0.
struct SelectorLayout {
    int width = 0;
    int height = 0;
    int trackX = 0;
    int trackY = 0;
    int trackWidth = 0;
    int trackHeight = 0;
    int knobWidth = 0;
    int knobHeight = 0;
    int count = 2;
    int initial = 0;
    // The cross-fade pictures exist (the track has more than one look).
    bool fadePictures = false;
};

// Keeps a coordinate or size from the dialog or an image inside the range
// mouse messages can express, so that no sum of them overflows.
int ClampCoordinate(int value) noexcept;

class SelectorCore {
  public:
    static constexpr int kMaxPositions = 8;
    static constexpr int kMaxRegions = 2 * kMaxPositions + 2;
    static constexpr DWORD kFadeDuration = 250;
    static constexpr int kFadeStartAlpha = 25;
    // The cross-fade is redrawn on a tick only once its alpha rose this much.
    static constexpr int kFadeRedrawStep = 16;

    // `tracking` arms the leave notifications (SystemMouseTrackingPort() on a
    // real window).
    SelectorCore(SelectorPort& surface, MouseTrackingPort& tracking) noexcept;

    // The window whose leave notifications the tracker arms.
    void SetWindow(HWND window) noexcept { tracker_.SetWindow(window); }

    // Takes the layout, builds the hit regions, composes the first picture
    // into the back buffer (background, track, knob) and becomes created.
    // Count is kept within 2 ... kMaxPositions and the initial position
    // within the positions.
    void Setup(const SelectorLayout& layout);
    // Back to not created; input is ignored until the next Setup.
    void Reset() noexcept;

    // From the keys and the console-connect refresh: `absolute` sets `value`
    // (clamped), otherwise `value` steps (0 left, 1 right, 2 round, anything
    // else nothing). FALSE unless created, enabled, not dragging and the
    // position changes. `notify` publishes the new switch.
    BOOL SetPosition(int value, BOOL absolute, BOOL notify);

    // Mouse input; positions packed as the messages pack them.
    void OnMouseMove(LPARAM position, bool leftDown);
    void OnLButtonDown(LPARAM position);
    void OnLButtonUp(LPARAM position);
    void OnMouseLeave();
    // Timer 1: advances the cross-fade.
    void OnAnimationTimer();
    // The window is being disabled and will see no more mouse input: a drag
    // ends where the knob is, a pending click is dropped.
    void CancelInput();

    bool Created() const noexcept { return created_; }
    int Count() const noexcept { return layout_.count; }
    int Position() const noexcept { return position_; }
    int Target() const noexcept { return target_; }
    bool Dragging() const noexcept { return dragging_; }
    bool PendingClick() const noexcept { return pendingClick_; }
    int KnobState() const noexcept { return knobState_; }
    int TrackState() const noexcept { return trackState_; }
    int DragOffset() const noexcept { return dragOffset_; }
    bool Animating() const noexcept { return animating_; }
    int FadeFrom() const noexcept { return fadeFrom_; }
    int FadeTo() const noexcept { return fadeTo_; }
    int FadeAlpha() const noexcept { return fadeAlpha_; }

    // How far the knob travels, the knob's offset for position `p`, and where
    // it is drawn now.
    int Travel() const noexcept { return travel_; }
    int KnobOffsetOf(int p) const noexcept;
    int KnobX() const noexcept { return knobBaseX_ + knobOffset_ + dragOffset_; }
    int KnobY() const noexcept { return knobY_; }

    // The 2N + 2 hit regions (segments, knobs, travel, whole control).
    int RegionCount() const noexcept { return 2 * layout_.count + 2; }
    RECT Region(int index) const noexcept;
    int HoverIndex() const noexcept { return tracker_.HoverIndex(); }
    int PressedIndex() const noexcept { return tracker_.PressedIndex(); }

  private:
    int NoPartIndex() const noexcept { return 2 * layout_.count + 1; }
    bool OnPosition(int hit, int p) const noexcept {
        return hit >= 0 && (hit == p || hit == p + layout_.count);
    }
    bool OnNoPart(int hit) const noexcept { return hit < 0 || hit == NoPartIndex(); }

    void BuildRegions();
    int NearestPosition() const noexcept;
    int ClampDragOffset(int offset) const noexcept;
    // Hit tests a press or release point as a move there would, so that a
    // button message without a move before it is judged where it happened.
    int FollowPointer(LPARAM position);
    void StartDrag(int anchorX, int anchorY, int x, int y);
    void DragTo(int x, int y, int hit, bool leftDown);
    void EndDrag();

    void Redraw(bool moved);
    void AdvanceFade();
    void EndFade() noexcept;
    int FadeAlphaAt(DWORD now) const noexcept;
    void ComposeTrack(bool refreshBackground, bool blend);
    void ComposeKnob();
    void ShowKnob(bool moved);
    void ShowAll();

    SelectorPort* surface_;
    CMouseEventCtrl tracker_;
    std::array<RECT, kMaxRegions> regions_{};
    // The sizes and places Setup was given, kept within the coordinate range,
    // and the count kept within 2 ... kMaxPositions.
    SelectorLayout layout_;
    int position_ = 0;
    int target_ = 0;
    int knobBaseX_ = 0;
    int knobY_ = 0;
    int travel_ = 0;
    bool dragging_ = false;
    bool pendingClick_ = false;
    int knobState_ = kSelectorNormal;
    int trackState_ = kSelectorNormal;
    // Where a drag took hold of the knob, where the pointer was last seen
    // during it, and where a pending click was pressed.
    POINT anchor_{};
    POINT last_{};
    POINT press_{};
    int knobOffset_ = 0;
    int dragOffset_ = 0;
    int previousKnobX_ = 0;
    int lastKnobX_ = 0;
    bool fadePictures_ = false;
    int fadeFrom_ = kSelectorNormal;
    int fadeTo_ = kSelectorNormal;
    DWORD fadeStart_ = 0;
    int fadeAlpha_ = 255;
    bool animating_ = false;
    bool created_ = false;
};

}  // namespace lensbeacon::settings
