#pragma once
// How far the security product's installation got: plain queries without state.
#include <windows.h>

#include "CStringT.h"

// The install-status DWORD the product's setup leaves in the registry, or -1.
int GetInstallStatus();
// The installed product's id and version as its COM object reports them.
BOOL GetInstalledProductInfo(CString& productId, CString& version);
// TRUE when the product's COM object reports the expected product id and version.
BOOL IsExpectedProductInstalled();
// TRUE when the setup command is scheduled to run again (Task Scheduler or RunOnce).
BOOL IsInstallerPending(BOOL useTaskScheduler);
// a + "\" + b.
CString JoinPath(const char* a, const char* b);
