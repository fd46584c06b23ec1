// Test helper: real pointer input on the test screen, as a user's mouse makes
// it (SetCursorPos and SendInput), delivered to whichever window is there.
#pragma once

#include <windows.h>

namespace lensbeacon::test {

// One mouse event (MOUSEEVENTF_LEFTDOWN, _LEFTUP, _MOVE) where the pointer is.
bool SendMouse(DWORD flags);

// Moves the pointer to the screen point and clicks the left button there.
bool ClickAt(int x, int y);

}  // namespace lensbeacon::test
