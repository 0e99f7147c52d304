// Program entry: the start-up and shut-down sequence is RunMorvane's.
#include <windows.h>

#include "app/MainForm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunMorvane();
}
