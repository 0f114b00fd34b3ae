#pragma once
// Watching the security product's setup program, which may still run after a restart.
#include <windows.h>

struct SetupWaitTimings {
    // How long the setup may stay unseen before the wait gives up.
    DWORD giveUpMs = 240000;
    DWORD pollMs = 3000;
};

// The id of the last process in a snapshot with this image name (case-insensitive); 0 when
// none runs or the snapshot fails.
DWORD FindProcessIdByImageName(const char* imageName);
// The setup process whose child shows the setup window; 0 when there is none.
DWORD FindSetupProcessId();
// 0 when the setup was found and has ended, -1 when it never appeared in time or the wait failed.
int WaitForSetupToFinish(const SetupWaitTimings& timings = SetupWaitTimings());
