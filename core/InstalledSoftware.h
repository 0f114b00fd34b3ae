#pragma once
// Installed software as the Uninstall key of the registry lists it.
#include <windows.h>

#include "CSimpleArray.h"
#include "CStringT.h"

// Every sub-key name of the open key; an index that cannot be read leaves its entry empty.
// 0, or the error of RegQueryInfoKey (names then untouched).
LONG EnumRegSubKeyNames(HKEY key, CSimpleArray<CString>& names);

// The sub-key names of HKLM "...\Uninstall" in the process's own view, then, under WOW64,
// those of the 64-bit view (a name in both views is listed twice).
void GetUninstallKeyNames(CSimpleArray<CString>& names);

// For each candidate (taken once) that names an Uninstall sub key: its DisplayName, when not
// empty, goes to names and the candidate to keys. True when names is not empty.
BOOL FindInstalledSoftware(const CSimpleArray<CString>& candidates, CSimpleArray<CString>& names,
                           CSimpleArray<CString>& keys);
