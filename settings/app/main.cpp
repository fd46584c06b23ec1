// Lensdial.exe: the settings dialog that switches the indicator on and off.
#include <windows.h>

#include "app/lensdial_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    lensbeacon::settings::CLensdialApp app;
    return app.Run(instance);
}
