#include "FakeEnv.h"

#include <cstdlib>

std::string EnvText(const char* name, const char* fallback)
{
    char buffer[4096];
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return fallback;
    return std::string(buffer, length);
}

int EnvNumber(const char* name, int fallback)
{
    const std::string text = EnvText(name);
    return text.empty() ? fallback : int(std::strtol(text.c_str(), nullptr, 0));
}

bool AppendToFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string ModuleFolderOf(HMODULE module)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    const std::string full(path, length);
    return full.substr(0, full.find_last_of('\\'));
}
