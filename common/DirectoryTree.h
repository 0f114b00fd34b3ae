#pragma once
#include <windows.h>

// Deletes folder with everything below it that can be deleted. Read-only files stay, and
// with them their folders. An entry whose path would not fit in MAX_PATH bytes is left
// alone. Returns the result of removing folder itself.
BOOL DeleteDirectoryTree(const char* folder);

// How the folder checks learn a path's attributes; GetFileAttributesA but in tests of file
// systems that make no junctions.
using FileAttributesQuery = DWORD(WINAPI*)(LPCSTR path);

// True when folder (environment variables allowed) may be deleted with everything in it: it
// expands fully to an absolute path that is no drive or share root; it neither is nor holds
// a folder the system, the user or this program lives in (Windows, system, program files,
// profile, application data, desktop, documents, temp, the program's own folder); it lies
// inside neither the Windows folder nor a program files folder of either view (inside the
// user's temporary folder is fine); and it is no junction or symbolic link itself.
bool IsRemovableFolder(const char* folder, FileAttributesQuery attributesOf = GetFileAttributesA);

// DeleteDirectoryTree of folder after expanding its environment variables, only when
// IsRemovableFolder; otherwise false and nothing deleted.
bool ExpandAndDeleteDirectoryTree(const char* folder);
