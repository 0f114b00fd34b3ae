#pragma once
#include "CStringT.h"

// Splits a launching-tool registry text into root, key path and value name: a text ending
// in "\" names the key's default value; only the long root names are recognised, and any
// other text is a path under HKEY_CURRENT_USER.
struct LauncherToolLocation {
    HKEY root;
    CString keyPath;
    CString valueName;
};
LauncherToolLocation SplitLauncherToolPath(const CString& text);

// The stored command line as it is started: trimmed, and quoted when the whole text names an
// existing file.
CString LauncherCommandLine(const CString& stored);

// Starts the command line stored at that location, without waiting; false when there is
// none or it cannot be started.
bool StartLauncherTool(const CString& registryText);
