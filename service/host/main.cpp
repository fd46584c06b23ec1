// Lenswatch: the camera-watch service.
#include <windows.h>

#include "service_host.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return lensbeacon::RunServiceDispatcher();
}
