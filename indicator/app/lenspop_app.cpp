#include "lenspop_app.h"

#include "desktop_kind.h"
#include "hotkey.h"
#include "main_frame.h"

namespace lensbeacon::indicator {
namespace {

constexpr UINT kFrameResource = 128;
// WS_OVERLAPPEDWINDOW with the frameworks' "add the document to the title"
// bit, as the frame has always been created.
constexpr DWORD kFrameStyle = 0x00CF8000;
constexpr const wchar_t* kFrameTitle = L"Lenspop MainFrm Window";

}  // namespace

CLenspopApp::CLenspopApp() : hotkeyMessage_(RegisterHotkeyMessage()) {}

CLenspopApp::~CLenspopApp() = default;

BOOL CLenspopApp::InitInstance() {
    const BOOL ordinary = IsOrdinaryDesktop();
    state_.ordinaryDesktop.store(ordinary, std::memory_order_relaxed);
    // Another instance on this kind of desktop: end quietly.
    if (!instance_.Acquire(ordinary)) {
        return FALSE;
    }
    frame_ = std::make_unique<CMainFrame>(state_, hotkeyMessage_);
    SetMainWindow(frame_.get());
    if (!frame_->LoadFrame(Instance(), kFrameResource, kFrameStyle, nullptr)) {
        return FALSE;
    }
    ::SetWindowTextW(frame_->Handle(), kFrameTitle);
    // The frame stays hidden; the indicator and the listener start from the
    // message loop.
    return ::PostMessageW(frame_->Handle(), WM_OSD_START, 0, 0) ? TRUE : FALSE;
}

int CLenspopApp::ExitInstance() {
    instance_.Release();
    return Application::ExitInstance();
}

}  // namespace lensbeacon::indicator
