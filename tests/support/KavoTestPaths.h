#pragma once
// Paths the test programs need: their own folder (the programs and the core library are
// built beside them) and files of the source tree, seen through Wine's Z: drive.
#include <windows.h>

#include <string>

inline std::string TestBinFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

inline std::string SourcePath(const char* relative)
{
#ifdef KAVO_SOURCE_DIR
    std::string path = std::string("Z:") + KAVO_SOURCE_DIR + "/" + relative;
#else
    std::string path = relative;
#endif
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[8192];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// Writes bytes as the whole file; false when it cannot be made or not every byte went in.
inline bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

inline std::string TempFolder()
{
    char path[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, path);
    std::string folder(path, length);
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return folder;
}
