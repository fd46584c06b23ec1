// The indicator program: one instance per kind of desktop, a hidden main
// frame, and the floating indicator window it owns.
#pragma once

#include <windows.h>

#include <memory>

#include "indicator_state.h"
#include "single_instance.h"
#include "winframe/application.h"
#include "winframe/com_apartment.h"

namespace lensbeacon::indicator {

class CMainFrame;

class CLenspopApp : public winframe::Application {
  public:
    CLenspopApp();
    ~CLenspopApp() override;
    CLenspopApp(const CLenspopApp&) = delete;
    CLenspopApp& operator=(const CLenspopApp&) = delete;

  protected:
    BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    // First, so COM outlives the windows: screen readers reach the
    // indicator's accessible object through it.
    winframe::ComApartment com_;
    IndicatorState state_;
    // Registered while the program sets itself up, before InitInstance.
    const UINT hotkeyMessage_;
    SingleInstance instance_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace lensbeacon::indicator
