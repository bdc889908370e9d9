// Brevitor's entry: start up, run the message loop, return 0 whatever the quit code.
#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    StartBrevitor(instance, CommandTail(GetCommandLineA()), ShowCommandFrom(&startup));
    while (KeepRunning != 0)
        PumpMessage();
    return 0;
}
