// Finding the real indicator's window from a test, on the test's desktop.
#pragma once

#include <windows.h>

namespace lensbeacon::test {

// The indicator window of LenspopUI, by its class and title; null when none.
HWND FindIndicator();
// An indicator window exists and is visible.
bool IndicatorVisible();

}  // namespace lensbeacon::test
