#include "pointer_input.h"

namespace lensbeacon::test {

bool SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return ::SendInput(1, &input, sizeof(INPUT)) == 1;
}

bool ClickAt(int x, int y) {
    if (!::SetCursorPos(x, y)) {
        return false;
    }
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return ::SendInput(2, input, sizeof(INPUT)) == 2;
}

}  // namespace lensbeacon::test
