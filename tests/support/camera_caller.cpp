// Test helper that stands for a program in a video call: it raises the probe
// signal named for its own file name (probe_programs.h) and then runs until
// it is ended from outside, as a call program runs until it closes or dies.
#include <windows.h>

#include "lensbeacon/unique_owner.h"
#include "own_probe_event.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring path = lensbeacon::test::OwnProgramPath();
    if (path.empty()) {
        return 3;
    }
    lensbeacon::UniqueHandle started(
        ::CreateEventW(nullptr, TRUE, FALSE, lensbeacon::test::OwnProbeEventName(path).c_str()));
    if (!started || !::SetEvent(started.get())) {
        return 2;
    }
    ::Sleep(INFINITE);
    return 0;
}
