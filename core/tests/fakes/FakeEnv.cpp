#include "FakeEnv.h"

#include <cstdlib>

// Read as UTF-16 and turned into the code page here: Wine's narrow read cuts a value with
// double-byte characters to as many bytes as it has characters (a setup window's Japanese
// title lost its tail).
std::string EnvText(const char* name, const char* fallback)
{
    wchar_t wideName[256];
    if (!MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 256))
        return fallback;
    wchar_t wide[4096];
    const DWORD length = GetEnvironmentVariableW(wideName, wide, 4096);
    if (length == 0 || length >= 4096)
        return fallback;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, int(length), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return fallback;
    std::string text(size_t(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, int(length), &text[0], bytes, nullptr, nullptr);
    return text;
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
