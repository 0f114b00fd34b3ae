#include "DirectoryTree.h"

#include <shlwapi.h>

#include <cstring>

namespace {

// folder + "\" + name without ever cutting it short: a cut path names some other entry.
bool JoinPath(char (&path)[MAX_PATH], const char* folder, const char* name)
{
    if (std::strlen(folder) + 1 + std::strlen(name) + 1 > MAX_PATH)
        return false;
    std::strcpy(path, folder);
    return PathAppendA(path, name) != FALSE;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Walks whole characters: the trail byte of a double-byte character may be a backslash.
const char* NextChar(const char* p)
{
    return IsDBCSLeadByte(BYTE(*p)) && p[1] ? p + 2 : p + 1;
}

const char* SkipSeparators(const char* p)
{
    while (IsSeparator(*p))
        ++p;
    return p;
}

const char* SkipComponent(const char* p)
{
    while (*p && !IsSeparator(*p))
        p = NextChar(p);
    return p;
}

bool IsDriveSpec(const char* p)
{
    return ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) && p[1] == ':';
}

const char* SkipServerAndShare(const char* p)
{
    p = SkipComponent(SkipSeparators(p));
    return SkipComponent(SkipSeparators(p));
}

// Past the drive, "\\server\share" or device prefix; path itself when it has none.
const char* SkipRoot(const char* p)
{
    if (!IsSeparator(p[0]) || !IsSeparator(p[1]))
        return IsDriveSpec(p) ? p + 2 : p;
    p += 2;
    if ((p[0] == '?' || p[0] == '.') && IsSeparator(p[1])) {
        p += 2;
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, p, 3, "UNC", 3) == CSTR_EQUAL && IsSeparator(p[3]))
            return SkipServerAndShare(p + 4);
        return IsDriveSpec(p) ? p + 2 : SkipComponent(p);
    }
    return SkipServerAndShare(p);
}

// Blanks and dots count with the separators: the system drops them at the end of a name.
bool IsRoot(const char* path)
{
    for (const char* p = SkipRoot(path); *p; ++p) {
        if (!IsSeparator(*p) && *p != ' ' && *p != '.')
            return false;
    }
    return true;
}

}  // namespace

BOOL DeleteDirectoryTree(const char* folder)
{
    char pattern[MAX_PATH];
    if (JoinPath(pattern, folder, "*.*")) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(pattern, &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0)
                    continue;
                char path[MAX_PATH];
                if (!JoinPath(path, folder, data.cFileName))
                    continue;
                // A junction or directory link is removed itself, never entered: what it
                // points at lies outside the tree.
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    RemoveDirectoryA(path);
                else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    DeleteDirectoryTree(path);
                else
                    DeleteFileA(path);
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
    }
    return RemoveDirectoryA(folder);
}

bool ExpandAndDeleteDirectoryTree(const char* folder)
{
    if (!folder || !*folder)
        return false;
    char expanded[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsA(folder, expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH)
        return false;
    // A variable left unexpanded would make the rest of the path relative to wherever we are.
    if (!*expanded || std::strchr(expanded, '%') || IsRoot(expanded))
        return false;
    // "C:\x\.." and "\" relative to the current drive are roots only once resolved.
    char full[MAX_PATH];
    const DWORD fullLength = GetFullPathNameA(expanded, MAX_PATH, full, nullptr);
    if (fullLength == 0 || fullLength >= MAX_PATH || IsRoot(full))
        return false;
    return DeleteDirectoryTree(expanded) != FALSE;
}
