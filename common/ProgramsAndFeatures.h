#pragma once
#include <windows.h>

// Brings the system's program removal window to the top right of its screen, opening it
// first when it is not open. Returns at once; the work runs on a thread of its own.
void OpenProgramsAndFeaturesAsync();
unsigned __stdcall OpenProgramsAndFeaturesProc(void* unused);

// The visible, enabled program removal window of any Windows version, or NULL.
HWND FindProgramsAndFeaturesWindow();
// Searches with find until it answers a window or timeoutMs have passed, pausing briefly
// between searches; NULL when none turned up.
HWND WaitForProgramsAndFeaturesWindow(DWORD timeoutMs, HWND (*find)() = FindProgramsAndFeaturesWindow);
// Moves window, size kept, so that it touches the top right corner of its monitor's work area.
bool MoveToWorkAreaTopRight(HWND window);
