#pragma once
// The companion program: after a restart it waits for the security product's setup, decides
// from the install state whether the installation worked and shows the matching result page;
// in restart mode it only starts the main program again.
#include <windows.h>

#include "CStringT.h"
#include "CommandLineSplitter.h"
#include "SetupWatch.h"

class CKAVOCompModule {
public:
    CKAVOCompModule() = default;
    CKAVOCompModule(const CKAVOCompModule&) = delete;
    CKAVOCompModule& operator=(const CKAVOCompModule&) = delete;

    // The process entry's body: always 0.
    int WinMain();
    void ParseCommandLine(const char* commandLine);
    int PreMessageLoop();
    void RunMessageLoop();

    const char* mode = "COMPLETE_INSTALLATION";
    CommandLineSplitter arguments;
    const char* phaseIndicator = nullptr;
    BOOL restart = FALSE;
    BOOL quiet = FALSE;
    DWORD cleanupFlags = 0;
    BOOL installerPending = FALSE;

    // Seams for tests: the setup wait's timings and the Windows major version that picks the
    // pending-installer lookup.
    SetupWaitTimings waitTimings;
    DWORD (*windowsMajorVersion)() = nullptr;
};

// The process command line after the program name; empty when there is nothing after it.
CString ArgumentText(const char* commandLine);
// The folder of the main program's "Path" value with "kavo.exe" appended; the companion's own
// folder when that key cannot be opened or the value is empty.
CString MainProgramPath();
// Overlays the definition texts with the cached values the wizard left in the registry.
void ApplyCachedValues();
