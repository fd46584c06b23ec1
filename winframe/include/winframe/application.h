// The application object: start-up, the message loop of the main window,
// and the exit code.
#pragma once

#include <windows.h>

namespace lensbeacon::winframe {

class Window;

class Application {
  public:
    Application() noexcept;
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the program: InitInstance(); when it answers TRUE and a main
    // window exists, a message loop until that window is destroyed (its
    // WM_NCDESTROY posts WM_QUIT), then ExitInstance()'s answer. When
    // InitInstance answers FALSE, or leaves no main window with a live
    // handle (a loop nothing could end), ExitInstance() runs at once.
    int Run(HINSTANCE instance);

    HINSTANCE Instance() const noexcept { return instance_; }

    void SetMainWindow(Window* window) noexcept { mainWindow_ = window; }
    Window* MainWindow() const noexcept { return mainWindow_; }

    // The application whose Run is executing, or null.
    static Application* Running() noexcept;

  protected:
    virtual BOOL InitInstance() = 0;
    // The default answers the wParam of the WM_QUIT that ended the loop, 0 if
    // no loop ran or it ended otherwise.
    virtual int ExitInstance();
    // Offered every message of the loop before it is dispatched; TRUE means
    // handled, not dispatched. The default answers FALSE.
    virtual BOOL PreTranslateMessage(MSG& message);

  private:
    void RunMessageLoop();

    HINSTANCE instance_ = nullptr;
    Window* mainWindow_ = nullptr;
    int quitCode_ = 0;
};

}  // namespace lensbeacon::winframe
