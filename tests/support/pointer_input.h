// Test helper: real pointer input on the test screen, as a user's mouse makes
// it (SendInput), delivered to whichever window is there.
//
// Every event carries its own screen point. Under Wine, moving the pointer
// also moves the X pointer, and each program with a window under it turns the
// X motion it reads back into pointer input of its own, whenever its thread
// next looks at X events. A press sent "where the pointer is" can therefore
// land where the pointer was a step earlier. A press or release that moves
// to its point in the same input as the button is immune: the two go into
// the queue together.
#pragma once

#include <windows.h>

namespace lensbeacon::test {

// Moves the pointer to the screen point.
[[nodiscard]] bool MoveTo(int x, int y);

// Moves the pointer to the screen point and presses, or releases, the left
// button there.
[[nodiscard]] bool PressAt(int x, int y);
[[nodiscard]] bool ReleaseAt(int x, int y);

// Moves the pointer to the screen point and clicks the left button there.
[[nodiscard]] bool ClickAt(int x, int y);

}  // namespace lensbeacon::test
