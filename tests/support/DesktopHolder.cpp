// Keeps Wine's desktop process alive for a whole test run. The desktop is started by the
// first process that needs it and ends with the last one, and it keeps the standard handles
// of the process that started it: when a test program started it, ctest saw that program's
// output stay open until every other test had ended. Started first, from the run script with
// its output sent nowhere, this program makes the one desktop of the run; wineserver -k ends it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // A hidden top-level window needs the desktop; a message-only one would not.
    HWND window = CreateWindowExA(0, "STATIC", "kavo desktop holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!window)
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
