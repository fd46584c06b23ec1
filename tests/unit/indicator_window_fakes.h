// A fake indicator window and position store that record every call as
// text, and the fixture that drives the window core with them on a 1920 x
// 1080 screen.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "osd_window_core.h"

namespace lensbeacon::indicator::test {

inline HWND FakeHandle() {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4321));
}

// Records every call as text; visibility follows show and hide.
class FakeWindow final : public OsdWindowPort {
  public:
    std::vector<std::string> calls;
    bool imagesLoad = true;
    bool visible = false;
    bool logonReady = false;
    bool cursorOver = true;
    DWORD tick = 1000;
    RECT rect = {300, 200, 428, 275};
    POINT pointer = {0, 0};  // on the screen
    bool buttonDown = true;
    ScreenSize screen = {1920, 1080};
    int dpi = 96;
    OsdLayout layout;  // the last one the core gave

    int WindowDpi() override { return dpi; }
    void UseLayout(const OsdLayout& l) override { layout = l; }

    bool LoadImages() override { return imagesLoad; }
    bool Render(const OsdFrame& f) override {
        static const char* const kButtons[] = {"normal", "hover", "pressed"};
        calls.push_back(std::string("Render") + (f.caption ? " caption" : "") +
                        (f.closeButton ? " " : "") +
                        (f.closeButton ? kButtons[static_cast<int>(f.button)] : ""));
        return true;
    }
    void Compose(BYTE alpha) override { calls.push_back("Compose " + std::to_string(alpha)); }
    void FreeBitmapAndImages() override { calls.push_back("Free"); }
    void ShowWithoutActivation() override {
        visible = true;
        calls.push_back("Show");
    }
    void Hide() override {
        visible = false;
        calls.push_back("Hide");
    }
    DWORD TickCount() override { return tick; }
    bool IsLogonUIReady() override { return logonReady; }
    HWND Handle() override { return FakeHandle(); }
    bool PostToSelf(UINT message, WPARAM wParam, LPARAM lParam) override {
        calls.push_back("Post " + std::to_string(message) + " " + std::to_string(wParam) + " " +
                        std::to_string(lParam));
        return true;
    }
    bool PointerOnScreen(POINT& point) override {
        point = pointer;
        return true;
    }
    bool PrimaryButtonDown() override { return buttonDown; }
    bool TrackMouseLeave() override { return true; }
    bool SetTimer(UINT_PTR id, UINT ms) override {
        calls.push_back("SetTimer " + std::to_string(id) + " " + std::to_string(ms));
        return true;
    }
    bool KillTimer(UINT_PTR id) override {
        calls.push_back("KillTimer " + std::to_string(id));
        return true;
    }
    bool CursorOverWindow() override { return cursorOver; }
    ScreenSize PrimaryScreenSize() override { return screen; }
    bool MoveTopmost(int x, int y, int w, int h) override {
        calls.push_back("Move " + std::to_string(x) + " " + std::to_string(y) + " " +
                        std::to_string(w) + " " + std::to_string(h));
        rect = {x, y, x + w, y + h};
        return true;
    }
    bool WindowRect(RECT& r) override {
        r = rect;
        return true;
    }
    bool IsVisible() override { return visible; }

    std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

class FakeStore final : public PositionStorePort {
  public:
    StoredPosition stored;
    std::vector<StoredPosition> published;

    bool Get(StoredPosition& p) override {
        p = stored;
        return true;
    }
    bool Set(const StoredPosition& p) override {
        published.push_back(p);
        return true;
    }
    bool Save() override { return true; }
    bool Restore() override { return true; }
};

class OsdWindow : public testing::Test {
  protected:
    bool Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        LRESULT result = -1;
        return core_.HandleMessage(message, wParam, lParam, result);
    }
    void Pointer(UINT message, int x, int y, bool left = false) {
        Send(message, left ? MK_LBUTTON : 0,
             static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(x)) |
                                 (static_cast<DWORD>(static_cast<WORD>(y)) << 16)));
    }
    void ShowShown() {
        core_.Update(OsdAction::Show, FALSE);
        window_.Take();
    }

    FakeWindow window_;
    FakeStore store_;
    IndicatorState state_;
    OsdWindowCore core_{window_, state_, store_};
};

}  // namespace lensbeacon::indicator::test
