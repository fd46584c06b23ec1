// LenspopUI.exe and Lenspop.exe: the floating "Camera on" indicator.
#include <windows.h>

#include "lenspop_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    lensbeacon::indicator::CLenspopApp app;
    return app.Run(instance);
}
