#include <windows.h>

// The companion program completes an installation after a restart; until its pages exist it
// has nothing to do and ends at once.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
