#pragma once
// The system functions behind the PC probes. The real table is bound once at library load:
// PathMatchSpec and PathStripToRoot (shlwapi), GlobalMemoryStatusEx, QueryDosDevice and
// GetDiskFreeSpace (kernel32) are looked up by name, then with "A" appended, and a function
// the system lacks does nothing and returns 0, so its probe reports no match, no memory or
// no usable drive instead of failing. A test hands CCheckEnv a table of its own to probe a
// machine of its choosing.
#include <windows.h>

#include "CStringT.h"

struct SystemApiTable {
    BOOL (*pathMatchSpec)(const char* file, const char* spec);
    BOOL (*pathStripToRoot)(char* path);
    BOOL (*globalMemoryStatusEx)(MEMORYSTATUSEX* status);
    DWORD (*queryDosDevice)(const char* device, char* target, DWORD size);
    BOOL (*getDiskFreeSpace)(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector, DWORD* freeClusters,
                             DWORD* totalClusters);
    // GetVersionEx with an OSVERSIONINFOEXA whose size field is set.
    BOOL (*getVersionEx)(OSVERSIONINFOEXA* info);
    // GetProductInfo, looked up at each call; FALSE where the system has none.
    BOOL (*getProductInfo)(DWORD major, DWORD minor, DWORD spMajor, DWORD spMinor, DWORD* type);
    UINT (*getSystemDirectory)(char* buffer, UINT size);
    DWORD (*getLogicalDrives)();
    UINT (*getDriveType)(const char* root);
    BOOL (*isWow64)();
    // Registry values under HKEY root\path, opened with KEY_READ | view.
    LONG (*readRegString)(HKEY root, const char* path, const char* name, REGSAM view, CString& value);
    LONG (*readRegDword)(HKEY root, const char* path, const char* name, REGSAM view, DWORD& value);
};

// The running system's table.
const SystemApiTable& GetSystemApiTable();
