#pragma once
#include <windows.h>

// Deletes folder with everything below it that can be deleted. Read-only files stay, and
// with them their folders. An entry whose path would not fit in MAX_PATH bytes is left
// alone. Returns the result of removing folder itself.
BOOL DeleteDirectoryTree(const char* folder);

// True when folder (environment variables allowed) may be deleted with everything in it: it
// expands fully to an absolute path that is no drive or share root and neither is nor holds
// a folder the system, the user or this program lives in (Windows, system, program files,
// profile, application data, desktop, documents, temp, the program's own folder).
bool IsRemovableFolder(const char* folder);

// DeleteDirectoryTree of folder after expanding its environment variables, only when
// IsRemovableFolder; otherwise false and nothing deleted.
bool ExpandAndDeleteDirectoryTree(const char* folder);
