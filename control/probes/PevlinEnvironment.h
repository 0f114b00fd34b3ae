#pragma once
// What every diagnostic run learns about the system first: the OS, the hosts file and
// whether it logs.
#include <windows.h>

#include "CStringT.h"
#include "PevlinState.h"

struct OsClassification {
    const char* name;
    // -1 Windows 95, NT 4.0 or unknown; 0 98/ME; 1 2000; 2 XP/2003; 3 Vista and later.
    LONG osClass;
};

// platform: the dwPlatformId of the version structure.
OsClassification ClassifyOs(DWORD platform, DWORD major, DWORD minor);

// The hosts file for an OS class; folder is the Windows folder (class 0) or the system folder
// (classes 1, 2), empty when it could not be found. Empty for classes 3 and -1.
CString HostsFilePathFor(LONG osClass, const char* folder);

// Sets OS name, OS class, hosts file path and log file path (empty unless the file
// LogPath + "\axpevlin.log" already exists); returns whether logging is on.
bool InitEnvironment(PevlinState& state);
