// Hoistrun: started by the service in a user session, it starts the indicator
// for that session's desktop and exits with 0. Shows no window.
#include <windows.h>

#include "hoistrun_startup.h"
#include "user_token_launch.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    lensbeacon::Win32StartupPort startup;
    lensbeacon::Win32UserLaunchPort launch;
    return lensbeacon::RunHoistrun(startup, launch);
}
