// The indicator program's hidden main frame and its view. The frame is never
// shown: it receives the session notifications, the firmware hotkey message
// and the program's private control messages, owns the indicator window
// through its view, and runs the event listener.
#pragma once

#include <windows.h>

#include <memory>

#include "indicator_state.h"
#include "listener.h"
#include "position_store_binding.h"
#include "session_change.h"
#include "windows_version.h"
#include "winframe/child_view.h"
#include "winframe/frame_window.h"

namespace lensbeacon::indicator {

class CCameraOSDWnd;

// Fills the frame; holds the indicator window object and the shut-down flag.
class CChildView : public winframe::ChildView {
  public:
    CChildView() noexcept;
    ~CChildView() override;

    std::unique_ptr<CCameraOSDWnd> indicator;
    BOOL shutDown = FALSE;

  protected:
    BOOL PreCreateWindow(CREATESTRUCTW& cs, winframe::FrameWindow::ClassSpec& windowClass) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CMainFrame : public winframe::FrameWindow, private SessionChangePort {
  public:
    // Binds the position store library and restores the saved position.
    CMainFrame(IndicatorState& state, UINT hotkeyMessage);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

  protected:
    BOOL PreCreateWindow(CREATESTRUCTW& cs, ClassSpec& windowClass) override;
    int OnCreate(const CREATESTRUCTW& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void StartIndicator();
    void ShutdownIndicator();

    // What a session change may ask for.
    void RestorePosition() override;
    void SavePosition() override;
    void PostShowHide(LPARAM show) override;

    IndicatorState& state_;
    const UINT hotkeyMessage_;
    Win32PositionStorePort positions_;
    WindowsVersion version_{};
    CChildView view_;
    std::unique_ptr<Listener> listener_;
};

}  // namespace lensbeacon::indicator
