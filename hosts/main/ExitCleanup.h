#pragma once
#include <windows.h>

// The clean-up the pages asked for, in order: "download.tmp" beside the program (flag 1),
// the folder tree (flag 2, environment variables expanded), the RunOnce value (flag 4).
void ExitCleanup(const char* folder, DWORD flags);
