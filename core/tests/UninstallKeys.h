#pragma once
// Uninstall entries of this test process's own (names carry the process id, so test
// programs running side by side never meet), removed again from both registry views.
#include <windows.h>

#include <string>
#include <vector>

class UninstallKeys {
public:
    UninstallKeys() = default;
    UninstallKeys(const UninstallKeys&) = delete;
    UninstallKeys& operator=(const UninstallKeys&) = delete;
    ~UninstallKeys()
    {
        for (const std::string& name : m_names)
            for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
                RegDeleteKeyExA(HKEY_LOCAL_MACHINE, Path(name).c_str(), view, 0);
    }

    static std::string Name(const char* stem)
    {
        return "KavoCoreTest-" + std::to_string(GetCurrentProcessId()) + "-" + stem;
    }

    // view: KEY_WOW64_32KEY or KEY_WOW64_64KEY; a null display name writes none.
    bool Install(const std::string& name, const char* displayName, REGSAM view)
    {
        m_names.push_back(name);
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, Path(name).c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        LONG rc = ERROR_SUCCESS;
        if (displayName)
            rc = RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(displayName),
                                DWORD(lstrlenA(displayName) + 1));
        RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }

private:
    static std::string Path(const std::string& name)
    {
        return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
    }

    std::vector<std::string> m_names;
};
