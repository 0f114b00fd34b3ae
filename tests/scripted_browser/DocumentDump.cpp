#include "DocumentDump.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace scripted {

namespace {

volatile LONG g_documents = 0;
INIT_ONCE g_numbering = INIT_ONCE_STATIC_INIT;

std::string DumpFolder()
{
    char folder[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableA("KAVO_SCRIPTED_BROWSER_DIR", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return {};
    std::string path(folder, length);
    if (path.back() != '\\' && path.back() != '/')
        path += '\\';
    return path;
}

// Appends (or writes) bytes; other processes of the run append to the same files.
void SaveBytes(const std::string& path, const std::string& bytes, bool append)
{
    HANDLE file = ::CreateFileA(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// The highest number of this process's documents already in folder. CoFreeUnusedLibraries
// may unload the library between two pages and a later page load it anew: its numbers go on
// from there instead of writing over the documents of the earlier load.
int LastDocumentNumber(const std::string& folder)
{
    const std::string prefix = std::to_string(::GetCurrentProcessId()) + "-";
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + prefix + "*.html").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int last = 0;
    do {
        const std::string name = found.cFileName;
        // "<pid>-<nnnn>.html" only: another process's longer pid does not start with the prefix.
        if (name.size() != prefix.size() + 9 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const int number = std::atoi(name.c_str() + prefix.size());
        if (number > last)
            last = number;
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return last;
}

BOOL CALLBACK StartNumbering(PINIT_ONCE, PVOID folder, PVOID*)
{
    ::InterlockedExchange(&g_documents, LastDocumentNumber(*static_cast<const std::string*>(folder)));
    return TRUE;
}

}  // namespace

int DumpDocument(const std::string& html)
{
    const std::string folder = DumpFolder();
    if (folder.empty())
        return 0;
    ::InitOnceExecuteOnce(&g_numbering, StartNumbering, const_cast<std::string*>(&folder), nullptr);
    const int number = int(::InterlockedIncrement(&g_documents));
    char name[64];
    std::snprintf(name, sizeof name, "%lu-%04d.html", ::GetCurrentProcessId(), number);
    SaveBytes(folder + name, html, false);
    return number;
}

void DumpEvent(int documentNumber, const std::string& line)
{
    const std::string folder = DumpFolder();
    if (folder.empty())
        return;
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%lu %04d ", ::GetCurrentProcessId(), documentNumber);
    SaveBytes(folder + "events.txt", prefix + line + "\n", true);
}

void DumpStyleSheets(int documentNumber, const std::string& css)
{
    const std::string folder = DumpFolder();
    if (folder.empty() || documentNumber <= 0)
        return;
    char name[64];
    std::snprintf(name, sizeof name, "%lu-%04d.css", ::GetCurrentProcessId(), documentNumber);
    SaveBytes(folder + name, css, false);
}

}  // namespace scripted
