#include "indicator_window.h"

#include "lensbeacon/names.h"

namespace lensbeacon::test {

HWND FindIndicator() {
    return ::FindWindowW(kIndicatorWindowClass, kIndicatorWindowTitle);
}

bool IndicatorVisible() {
    HWND window = FindIndicator();
    return window != nullptr && ::IsWindowVisible(window);
}

}  // namespace lensbeacon::test
