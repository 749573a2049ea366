#include "ProgramMain.h"
#include "WindowsModule.h"

extern "C" __attribute__((visibility("default"))) int VarnholtWindowsMain(int *argc, char **argv)
{
    return RunProgram(*argc, argv, true);
}
