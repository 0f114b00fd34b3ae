#include "DirectoryTree.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "CStringT.h"
#include "ProgramFolder.h"

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

namespace {

CString FullPathWithoutSlash(const char* path)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return CString();
    PathRemoveBackslashA(full);
    return CString(full);
}

// True when folder is, or holds, a folder the system, the user or this program cannot do
// without.
bool IsProtectedFolder(const char* folder)
{
    const CString target = FullPathWithoutSlash(folder);
    if (target.IsEmpty())
        return true;
    static const int kFolders[] = {CSIDL_WINDOWS,          CSIDL_SYSTEM,        CSIDL_SYSTEMX86,
                                   CSIDL_PROGRAM_FILES,    CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,
                                   CSIDL_APPDATA,          CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA,
                                   CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,      CSIDL_PROGRAM_FILES_COMMON};
    CString known[sizeof kFolders / sizeof kFolders[0] + 2];
    int count = 0;
    for (int id : kFolders) {
        char path[MAX_PATH];
        if (SUCCEEDED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path)) && *path)
            known[count++] = FullPathWithoutSlash(path);
    }
    char temp[MAX_PATH];
    const DWORD tempLength = GetTempPathA(MAX_PATH, temp);
    if (tempLength && tempLength < MAX_PATH)
        known[count++] = FullPathWithoutSlash(temp);
    known[count++] = FullPathWithoutSlash(GetProgramFolder());

    CString prefix = target;
    prefix += "\\";
    for (int i = 0; i < count; ++i) {
        const CString& path = known[i];
        if (path.IsEmpty())
            continue;
        if (path.CompareNoCase(target) == 0)
            return true;
        if (path.GetLength() > prefix.GetLength() &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path, prefix.GetLength(), prefix, prefix.GetLength()) ==
                CSTR_EQUAL)
            return true;
    }
    return false;
}

// folder with its variables expanded, when it names a folder that may go; false otherwise.
bool ExpandRemovableFolder(const char* folder, char (&expanded)[MAX_PATH])
{
    if (!folder || !*folder)
        return false;
    const DWORD length = ExpandEnvironmentStringsA(folder, expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH)
        return false;
    // A variable left unexpanded, or a relative result, would make the path relative to
    // wherever the process happens to be.
    if (!*expanded || std::strchr(expanded, '%') || PathIsRelativeA(expanded) || IsRoot(expanded))
        return false;
    // "C:\x\.." is a root only once resolved.
    char full[MAX_PATH];
    const DWORD fullLength = GetFullPathNameA(expanded, MAX_PATH, full, nullptr);
    if (fullLength == 0 || fullLength >= MAX_PATH || IsRoot(full))
        return false;
    return !IsProtectedFolder(full);
}

}  // namespace

bool IsRemovableFolder(const char* folder)
{
    char expanded[MAX_PATH];
    return ExpandRemovableFolder(folder, expanded);
}

bool ExpandAndDeleteDirectoryTree(const char* folder)
{
    char expanded[MAX_PATH];
    if (!ExpandRemovableFolder(folder, expanded))
        return false;
    return DeleteDirectoryTree(expanded) != FALSE;
}
