#include "camera_announcer.h"

#include <commctrl.h>

#include "camera_announcement.h"
#include "indicator_strings.h"
#include "lensbeacon/proc_address.h"

namespace lensbeacon::indicator {
namespace {

// The tool's id within the tooltip: the glyph is its one tool.
constexpr UINT_PTR kGlyphTool = 1;
// Long lists of names wrap rather than run across the screen.
constexpr int kTipWidth = 400;

TOOLINFOW GlyphTool(HWND indicator) {
    TOOLINFOW tool{};
    // The size every version of the common controls takes.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = indicator;
    tool.uId = kGlyphTool;
    return tool;
}

}  // namespace

void CameraAnnouncer::Create(HWND indicator, const RECT& tip) {
    indicator_ = indicator;
    tip_ = tip;
}

void CameraAnnouncer::SetTipArea(const RECT& tip) {
    tip_ = tip;
    if (tooltip_) {
        TOOLINFOW tool = GlyphTool(indicator_);
        tool.rect = tip_;
        // A tooltip that keeps its old area still names the programs, over
        // part of the glyph or a little past it.
        static_cast<void>(
            ::SendMessageW(tooltip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool)));
    }
}

void CameraAnnouncer::OnPointerMove(WPARAM wParam, LPARAM lParam) {
    if (tooltip_ || tooltipFailed_ || indicator_ == nullptr) {
        return;
    }
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!::PtInRect(&tip_, point)) {
        return;
    }
    // Made once; one that could not be made is not tried on every move.
    if (!MakeTooltip()) {
        tooltipFailed_ = true;
        return;
    }
    // The tooltip's own watch begins with the next move: this one, which
    // brought the pointer to the glyph, starts its wait for the pointer to rest.
    MSG move{};
    move.hwnd = indicator_;
    move.message = WM_MOUSEMOVE;
    move.wParam = wParam;
    move.lParam = lParam;
    move.time = static_cast<DWORD>(::GetMessageTime());
    const DWORD at = ::GetMessagePos();
    move.pt = POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ::SendMessageW(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

bool CameraAnnouncer::MakeTooltip() {
    // The common controls are loaded only now: most sessions never see the
    // pointer on the glyph.
    if (!commonControls_) {
        commonControls_.reset(
            ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initControls =
        ProcAddress<InitControls>(commonControls_.get(), "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    if (initControls == nullptr || !initControls(&controls)) {
        return false;
    }
    // A tooltip never takes the keyboard; owned by the indicator, it stays
    // above it.
    tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, indicator_,
                                     nullptr, ::GetModuleHandleW(nullptr), nullptr));
    if (!tooltip_) {
        return false;
    }
    TOOLINFOW tool = GlyphTool(indicator_);
    // The tooltip watches the pointer over the window through a subclass of
    // its own; the window's press, drag and release go on as before.
    tool.uFlags = TTF_SUBCLASS;
    tool.rect = tip_;
    tool.lpszText = text_.data();
    if (!::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        tooltip_.reset();
        return false;
    }
    ::SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    return true;
}

void CameraAnnouncer::Destroy() {
    records_.StopWatching();
    lookups_.Close();
    tooltip_.reset();
}

std::wstring CameraAnnouncer::LoadText(UINT id) const {
    const wchar_t* text = nullptr;
    // With a zero size LoadStringW answers the resource's own text, which
    // is not NUL-terminated, and its length.
    const int length =
        ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

bool CameraAnnouncer::Refresh() {
    std::vector<std::wstring> names;
    if (state_.ordinaryDesktop.load() != FALSE) {
        names = records_.ReadNames(
            [this](const std::wstring& path) { return descriptions_.Describe(path); });
        const std::vector<std::wstring> lookups = descriptions_.TakeLookups();
        if (!lookups.empty() && !lookups_.Start(indicator_, kDescriptionsArrivedMessage, lookups)) {
            descriptions_.Abandon(lookups);  // asked for again at the next refresh
        }
    }
    std::wstring text =
        Announcement(caption_, LoadText(IDS_CAMERA_ON_BY), LoadText(IDS_NAME_SEPARATOR), names);
    if (text == text_) {
        return false;
    }
    text_ = std::move(text);
    if (tooltip_) {
        TOOLINFOW tool = GlyphTool(indicator_);
        tool.lpszText = text_.data();
        ::SendMessageW(tooltip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return true;
}

void CameraAnnouncer::OnShown() {
    // Armed first, then read: a change in between is not lost.
    if (state_.ordinaryDesktop.load() != FALSE) {
        // Nothing to watch: the names are read at each show all the same.
        static_cast<void>(records_.WatchOnce(indicator_, kRecordsChangedMessage));
    }
    // The alert goes out whether or not the text changed.
    static_cast<void>(Refresh());
    // After the name is known, so the screen reader reads the whole of it.
    winframe::NotifyAccessibleEvent(EVENT_SYSTEM_ALERT, indicator_);
}

void CameraAnnouncer::OnRecordsChanged() {
    if (indicator_ == nullptr || !::IsWindowVisible(indicator_)) {
        return;  // the watch ends; the next show starts it again
    }
    // Nothing to watch: the names stay as read until the next show.
    static_cast<void>(records_.WatchOnce(indicator_, kRecordsChangedMessage));
    RefreshShown();
}

void CameraAnnouncer::OnDescriptionsArrived() {
    for (DescriptionLookups::Answer& answer : lookups_.TakeAnswers()) {
        descriptions_.Store(answer.path, std::move(answer.description));
    }
    if (indicator_ != nullptr && ::IsWindowVisible(indicator_)) {
        RefreshShown();  // hidden, the next show uses them
    }
}

void CameraAnnouncer::RefreshShown() {
    if (Refresh()) {
        winframe::NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, indicator_);
    }
}

bool CameraAnnouncer::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != tooltip_.get() || header.code != TTN_SHOW) {
        return false;
    }
    RECT indicator{};
    RECT tip{};
    if (!::GetWindowRect(indicator_, &indicator) || !::GetWindowRect(tooltip_.get(), &tip)) {
        return false;  // the control places it itself
    }
    const int height = tip.bottom - tip.top;
    constexpr int kGap = 2;
    int top = indicator.bottom + kGap;
    if (top + height > ::GetSystemMetrics(SM_CYSCREEN)) {
        top = indicator.top - kGap - height;
    }
    if (!::SetWindowPos(tooltip_.get(), nullptr, indicator.left, top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        return false;
    }
    result = TRUE;  // placed here
    return true;
}

winframe::AccessibleDescription CameraAnnouncer::Describe() {
    winframe::AccessibleDescription description;
    description.name = text_;
    description.role = ROLE_SYSTEM_ALERT;
    if (indicator_ == nullptr || !::IsWindowVisible(indicator_)) {
        description.state = STATE_SYSTEM_INVISIBLE;
    }
    return description;
}

}  // namespace lensbeacon::indicator
