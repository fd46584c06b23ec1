// What the indicator tells people while the camera is on, beyond the
// picture: a tooltip over the glyph naming the programs that hold the
// camera, and for screen readers an alert raised as the window shows, whose
// accessible name is "Camera on" followed by those programs.
//
// Only the user-desktop instance names programs: it reads the current
// user's record of camera use when the window shows, and again at every
// change of the records while it is shown. The logon-desktop instance runs
// as the system account and says "Camera on" alone.
//
// A desktop program is named by its file description, which is read off
// this thread: the window shows at once with the names known, a program not
// yet looked up named by its file name, and when descriptions arrive the
// tooltip and the accessible name follow, with a name change for screen
// readers, as for a change of the records.
#pragma once

#include <windows.h>

#include <string>

#include "camera_holder_records.h"
#include "description_lookups.h"
#include "indicator_state.h"
#include "lensbeacon/unique_owner.h"
#include "program_descriptions.h"
#include "winframe/accessible.h"

namespace lensbeacon::indicator {

// Posted to the indicator window when the records change.
inline constexpr UINT kRecordsChangedMessage = WM_APP + 1;

class CameraAnnouncer final : private winframe::AccessiblePort {
  public:
    CameraAnnouncer(const IndicatorState& state, const wchar_t* caption) noexcept
        : state_(state), caption_(caption), text_(caption) {}
    ~CameraAnnouncer() override { Destroy(); }
    CameraAnnouncer(const CameraAnnouncer&) = delete;
    CameraAnnouncer& operator=(const CameraAnnouncer&) = delete;

    // Serves the indicator window, with a tooltip over its `tip` area. The
    // tooltip is made when the pointer first comes to that area.
    void Create(HWND indicator, const RECT& tip);
    // The glyph's area at a new scale: the tooltip, made or still to be
    // made, answers there.
    void SetTipArea(const RECT& tip);
    void Destroy();

    // WM_MOUSEMOVE of the indicator window: over the tip area for the first
    // time, it makes the tooltip and hands it this move. The indicator works
    // on without one.
    void OnPointerMove(WPARAM wParam, LPARAM lParam);
    // The window has just become visible: names, tooltip, then the alert.
    void OnShown();
    // kRecordsChangedMessage: new names while shown; the watch ends hidden.
    void OnRecordsChanged();
    // kDescriptionsArrivedMessage: the descriptions are kept, and while
    // shown the names follow.
    void OnDescriptionsArrived();
    // WM_NOTIFY of the indicator window: the tooltip is about to show, and
    // goes below the indicator (above it near the screen's bottom edge),
    // clear of the caption. True when answered.
    [[nodiscard]] bool OnNotify(const NMHDR& header, LRESULT& result);
    // WM_GETOBJECT of the indicator window.
    [[nodiscard]] bool AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return accessible_.AnswerGetObject(indicator_, wParam, lParam, result);
    }

    [[nodiscard]] const std::wstring& Text() const noexcept { return text_; }

  private:
    [[nodiscard]] winframe::AccessibleDescription Describe() override;
    // Reads the names (user desktop only), starts the lookups they call
    // for, and updates the tooltip; true when the text changed.
    [[nodiscard]] bool Refresh();
    // Refresh while shown, with a name change when the text changed.
    void RefreshShown();
    [[nodiscard]] std::wstring LoadText(UINT id) const;
    // Loads the common controls and makes the tooltip; false without one.
    [[nodiscard]] bool MakeTooltip();

    const IndicatorState& state_;
    const wchar_t* caption_;
    std::wstring text_;
    HWND indicator_ = nullptr;
    RECT tip_{};
    // Loaded with the tooltip; freed after it, as the owner goes last.
    UniqueModule commonControls_;
    UniqueWindow tooltip_;  // owned by the indicator window, destroyed here
    bool tooltipFailed_ = false;
    CameraHolderRecords records_;
    ProgramDescriptions descriptions_;
    DescriptionLookups lookups_;
    winframe::Accessible accessible_{*this};
};

}  // namespace lensbeacon::indicator
