#include "DocumentDump.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace scripted {

namespace {

std::mutex g_numbering;
bool g_numberingStarted = false;
int g_documents = 0;

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

// The highest number of a document this process has in the folder already. The DLL is
// unloaded whenever no browser lives (CoFreeUnusedLibraries) and loaded afresh for the next
// page; numbering from 1 again would overwrite the earlier pages' documents.
int HighestDumpedNumber(const std::string& folder)
{
    const std::string prefix = std::to_string(::GetCurrentProcessId()) + "-";
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + prefix + "*.html").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int highest = 0;
    do {
        const int number = std::atoi(found.cFileName + prefix.size());
        if (number > highest)
            highest = number;
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return highest;
}

}  // namespace

int DumpDocument(const std::string& html)
{
    const std::string folder = DumpFolder();
    if (folder.empty())
        return 0;
    int number = 0;
    {
        std::lock_guard<std::mutex> hold(g_numbering);
        if (!g_numberingStarted) {
            g_documents = HighestDumpedNumber(folder);
            g_numberingStarted = true;
        }
        number = ++g_documents;
    }
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
