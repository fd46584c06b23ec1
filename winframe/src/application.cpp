#include "winframe/application.h"

#include <utility>

#include "winframe/window.h"

namespace lensbeacon::winframe {
namespace {

// Written by Run on the thread that runs it; read by the windows of that
// thread when the main window goes.
Application* g_running = nullptr;

}  // namespace

Application::Application() noexcept = default;

Application::~Application() {
    if (g_running == this) {
        g_running = nullptr;
    }
}

Application* Application::Running() noexcept {
    return g_running;
}

int Application::Run(HINSTANCE instance) {
    instance_ = instance;
    quitCode_ = 0;
    Application* outer = std::exchange(g_running, this);
    if (InitInstance() && mainWindow_ != nullptr && mainWindow_->Handle() != nullptr) {
        RunMessageLoop();
    }
    const int exitCode = ExitInstance();
    g_running = outer;
    return exitCode;
}

void Application::RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            return;  // the loop cannot go on; the program ends quietly
        }
        if (got == 0) {
            quitCode_ = static_cast<int>(message.wParam);
            return;
        }
        if (!PreTranslateMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

int Application::ExitInstance() {
    return quitCode_;
}

BOOL Application::PreTranslateMessage(MSG&) {
    return FALSE;
}

}  // namespace lensbeacon::winframe
