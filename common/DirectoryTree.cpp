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

bool SamePath(const CString& a, const CString& b)
{
    return !a.IsEmpty() && a.CompareNoCase(b) == 0;
}

// True when path lies below folder (not folder itself).
bool IsInside(const CString& path, const CString& folder)
{
    if (folder.IsEmpty())
        return false;
    CString prefix = folder;
    prefix += "\\";
    return path.GetLength() > prefix.GetLength() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path, prefix.GetLength(), prefix, prefix.GetLength()) == CSTR_EQUAL;
}

CString KnownFolder(int id)
{
    char path[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path)) && *path)
        return FullPathWithoutSlash(path);
    return CString();
}

CString EnvironmentFolder(const char* name)
{
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name, path, MAX_PATH);
    return length && length < MAX_PATH ? FullPathWithoutSlash(path) : CString();
}

CString TempFolder()
{
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    return length && length < MAX_PATH ? FullPathWithoutSlash(temp) : CString();
}

// A 32-bit process on 64-bit Windows gets the x86 program files folder from every CSIDL;
// the 64-bit one is in the 64-bit registry view (and in ProgramW6432, which a parent can unset).
CString ProgramFilesFolder64(const char* value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return CString();
    char path[MAX_PATH] = "";
    DWORD size = sizeof path - 1;
    DWORD type = 0;
    const bool read = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS &&
                      (type == REG_SZ || type == REG_EXPAND_SZ);
    RegCloseKey(key);
    path[size < sizeof path ? size : sizeof path - 1] = 0;
    return read && *path ? FullPathWithoutSlash(path) : CString();
}

// The folders nothing below may go: the system's own and every program's.
int SystemTrees(CString (&trees)[10])
{
    int count = 0;
    for (int id : {CSIDL_WINDOWS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
                   CSIDL_PROGRAM_FILES_COMMONX86})
        trees[count++] = KnownFolder(id);
    trees[count++] = ProgramFilesFolder64("ProgramFilesDir");
    trees[count++] = ProgramFilesFolder64("CommonFilesDir");
    trees[count++] = EnvironmentFolder("ProgramW6432");
    trees[count++] = EnvironmentFolder("CommonProgramW6432");
    return count;
}

// True when folder is, or holds, a folder the system, the user or this program cannot do
// without, or lies inside the system's or the programs' folders.
bool IsProtectedFolder(const char* folder)
{
    const CString target = FullPathWithoutSlash(folder);
    if (target.IsEmpty())
        return true;
    static const int kFolders[] = {CSIDL_SYSTEM,         CSIDL_SYSTEMX86,        CSIDL_PROFILE,
                                   CSIDL_APPDATA,        CSIDL_LOCAL_APPDATA,    CSIDL_COMMON_APPDATA,
                                   CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL};
    CString trees[10];
    const int treeCount = SystemTrees(trees);
    const CString temp = TempFolder();
    CString known[sizeof kFolders / sizeof kFolders[0] + 2];
    int count = 0;
    for (int id : kFolders)
        known[count++] = KnownFolder(id);
    known[count++] = temp;
    known[count++] = FullPathWithoutSlash(GetProgramFolder());

    for (int i = 0; i < treeCount; ++i) {
        if (SamePath(trees[i], target) || IsInside(trees[i], target))
            return true;
    }
    for (int i = 0; i < count; ++i) {
        if (SamePath(known[i], target) || IsInside(known[i], target))
            return true;
    }
    // A temporary folder inside the Windows folder (a service's) still holds only our own.
    if (IsInside(target, temp))
        return false;
    for (int i = 0; i < treeCount; ++i) {
        if (IsInside(target, trees[i]))
            return true;
    }
    return false;
}

// folder with its variables expanded, when it names a folder that may go; false otherwise.
bool ExpandRemovableFolder(const char* folder, char (&expanded)[MAX_PATH], FileAttributesQuery attributesOf)
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
    if (IsProtectedFolder(full))
        return false;
    // Deleting through a junction or link would empty the folder it points at, wherever that is.
    PathRemoveBackslashA(full);
    const DWORD attributes = attributesOf(full);
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

bool IsRemovableFolder(const char* folder, FileAttributesQuery attributesOf)
{
    char expanded[MAX_PATH];
    return ExpandRemovableFolder(folder, expanded, attributesOf ? attributesOf : GetFileAttributesA);
}

bool ExpandAndDeleteDirectoryTree(const char* folder)
{
    char expanded[MAX_PATH];
    if (!ExpandRemovableFolder(folder, expanded, GetFileAttributesA))
        return false;
    return DeleteDirectoryTree(expanded) != FALSE;
}
