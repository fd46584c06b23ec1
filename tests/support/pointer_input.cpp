#include "pointer_input.h"

namespace lensbeacon::test {
namespace {

// The normalised coordinate (0 to 65535 across the primary monitor) that
// lands on the pixel: the smallest value whose pixel, rounded down, is it.
LONG Normalised(int pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

INPUT At(int x, int y, DWORD button) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalised(x, ::GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalised(y, ::GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    return input;
}

bool Send(INPUT* inputs, UINT count) {
    return ::SendInput(count, inputs, sizeof(INPUT)) == count;
}

}  // namespace

bool MoveTo(int x, int y) {
    INPUT input = At(x, y, 0);
    return Send(&input, 1);
}

bool PressAt(int x, int y) {
    INPUT input = At(x, y, MOUSEEVENTF_LEFTDOWN);
    return Send(&input, 1);
}

bool ReleaseAt(int x, int y) {
    INPUT input = At(x, y, MOUSEEVENTF_LEFTUP);
    return Send(&input, 1);
}

bool ClickAt(int x, int y) {
    INPUT inputs[2] = {At(x, y, MOUSEEVENTF_LEFTDOWN), At(x, y, MOUSEEVENTF_LEFTUP)};
    return Send(inputs, 2);
}

}  // namespace lensbeacon::test
