#include "LauncherTool.h"

#include <cstring>
#include <vector>

#include "CRegKey.h"

LauncherToolLocation SplitLauncherToolPath(const CString& text)
{
    LauncherToolLocation location{HKEY_CURRENT_USER, text, CString()};
    const int slash = text.ReverseFind('\\');
    if (slash >= 0 && slash < text.GetLength() - 1) {
        location.valueName = text.Mid(slash + 1);
        location.keyPath = text.Left(slash);
    }
    if (std::strncmp(location.keyPath, "HKEY_LOCAL_MACHINE\\", 19) == 0) {
        location.root = HKEY_LOCAL_MACHINE;
        location.keyPath = location.keyPath.Mid(19);
    } else if (std::strncmp(location.keyPath, "HKEY_CURRENT_USER\\", 18) == 0) {
        location.keyPath = location.keyPath.Mid(18);
    }
    return location;
}

CString LauncherCommandLine(const CString& stored)
{
    CString command = stored;
    command.Trim();
    // A bare path with blanks would let CreateProcess try "C:\Program.exe" first.
    if (!command.IsEmpty() && command[0] != '"') {
        const DWORD attributes = ::GetFileAttributesA(command);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            command = "\"" + command + "\"";
    }
    return command;
}

bool StartLauncherTool(const CString& registryText)
{
    const LauncherToolLocation location = SplitLauncherToolPath(registryText);
    CRegKey key;
    if (key.Open(location.root, location.keyPath, KEY_READ) != ERROR_SUCCESS)
        return false;
    CString command;
    key.QueryStringValue(location.valueName.IsEmpty() ? nullptr : location.valueName.GetString(), command);
    key.Close();
    command = LauncherCommandLine(command);
    if (command.IsEmpty())
        return false;
    // CreateProcessA may write into its command line.
    std::vector<char> writable(command.GetString(), command.GetString() + command.GetLength() + 1);
    STARTUPINFOA startup = {sizeof startup};
    ::GetStartupInfoA(&startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}
