#include "InstalledSoftware.h"

#include <vector>

#include "CAtlException.h"
#include "CRegKey.h"
#include "Wow64.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

void Append(CSimpleArray<CString>& list, const CString& text)
{
    if (!list.Add(text))
        AtlThrow(E_OUTOFMEMORY);
}

void AppendUninstallNames(REGSAM view, CSimpleArray<CString>& names)
{
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_READ | view) != ERROR_SUCCESS)
        return;
    CSimpleArray<CString> found;
    if (EnumRegSubKeyNames(key, found) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < found.GetSize(); ++i)
        Append(names, found[i]);
}

CString DisplayNameOf(const CString& keyName)
{
    CString path;
    path.Format("%s\\%s", kUninstallKey, keyName.GetString());
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ) != ERROR_SUCCESS &&
        (!IsWow64() || key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ | KEY_WOW64_64KEY) != ERROR_SUCCESS))
        return CString();
    CString name;
    if (key.QueryStringValue("DisplayName", name) != ERROR_SUCCESS)
        name.Empty();
    return name;
}

}  // namespace

LONG EnumRegSubKeyNames(HKEY key, CSimpleArray<CString>& names)
{
    DWORD count = 0;
    DWORD longest = 0;
    const LONG rc =
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    names.RemoveAll();
    for (DWORD i = 0; i < count; ++i)
        Append(names, CString());
    std::vector<char> buffer(size_t(longest) * 2 + 1);
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = DWORD(buffer.size());
        if (RegEnumKeyExA(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            names.SetAtIndex(int(i), CString(buffer.data(), int(length)));
    }
    return ERROR_SUCCESS;
}

void GetUninstallKeyNames(CSimpleArray<CString>& names)
{
    AppendUninstallNames(0, names);
    if (IsWow64())
        AppendUninstallNames(KEY_WOW64_64KEY, names);
}

BOOL FindInstalledSoftware(const CSimpleArray<CString>& candidates, CSimpleArray<CString>& names,
                           CSimpleArray<CString>& keys)
{
    CSimpleArray<CString> installed;
    GetUninstallKeyNames(installed);
    for (int i = 0; i < candidates.GetSize(); ++i) {
        const CString& candidate = candidates[i];
        if (installed.Find(candidate) < 0 || keys.Find(candidate) >= 0)
            continue;
        const CString displayName = DisplayNameOf(candidate);
        if (displayName.IsEmpty())
            continue;
        Append(names, displayName);
        Append(keys, candidate);
    }
    return names.GetSize() > 0;
}
