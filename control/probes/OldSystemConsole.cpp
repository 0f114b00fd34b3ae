#include "OldSystemConsole.h"

#include <windows.h>

void PrepareConsole()
{
    FreeConsole();
    AllocConsole();
    Sleep(0);
    if (HWND window = FindWindowA(nullptr, "IEXPLORE"))
        ShowWindow(window, SW_HIDE);
}

void ReleaseConsole()
{
    FreeConsole();
}
