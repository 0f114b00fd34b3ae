#pragma once
#include <windows.h>

// Deletes folder with everything below it that can be deleted. Read-only files stay, and
// with them their folders. An entry whose path would not fit in MAX_PATH bytes is left
// alone. Returns the result of removing folder itself.
BOOL DeleteDirectoryTree(const char* folder);

// DeleteDirectoryTree of folder after expanding its environment variables. Refuses (false,
// nothing deleted) an empty text, a failed or incomplete expansion and any drive or share
// root.
bool ExpandAndDeleteDirectoryTree(const char* folder);
