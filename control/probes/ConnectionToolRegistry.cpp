#include "ConnectionToolRegistry.h"

#include <windows.h>

#include <cstring>

#include "CRegKey.h"

namespace {

constexpr ULONG kValueLimit = 260;

}  // namespace

bool HasOldConnectionTool()
{
    CRegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, kOldConnectionToolKey, KEY_READ) == ERROR_SUCCESS;
}

bool ReadToolValue(const char* name, CString& value)
{
    value.Empty();
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kConnectionToolKey, KEY_READ) != ERROR_SUCCESS)
        return false;
    char buffer[kValueLimit] = {};
    ULONG size = sizeof buffer;
    if (key.QueryStringValue(name, buffer, &size) != ERROR_SUCCESS)
        return false;
    buffer[kValueLimit - 1] = '\0';
    value = buffer;
    return true;
}

int GetToolVersionKind()
{
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kConnectionToolKey, KEY_READ) != ERROR_SUCCESS)
        return 0;
    CString version;
    if (!ReadToolValue("Version", version))
        return -1;
    return std::strncmp(version, "1.2.", 4) == 0 ? 1 : 2;
}

int GetToolCompany()
{
    CString company;
    if (!ReadToolValue("CompanyName", company))
        return -1;
    if (company == "KRVJ")
        return 0;
    if (company == "KRVK")
        return 1;
    return -1;
}

bool GetToolPath(CString& path)
{
    path.Empty();
    CString value;
    if (!ReadToolValue("Path", value))
        return false;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(value + "\\app\\TangoManager.exe", &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    path = value;
    return true;
}
