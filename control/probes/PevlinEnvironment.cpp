#include "PevlinEnvironment.h"

#include <shlobj.h>

#include "BoundedText.h"

OsClassification ClassifyOs(DWORD platform, DWORD major, DWORD minor)
{
    if (platform == VER_PLATFORM_WIN32_WINDOWS && major == 4) {
        if (minor == 0)
            return {"Windows 95", -1};
        if (minor == 10)
            return {"Windows 98", 0};
        if (minor == 90)
            return {"Windows ME", 0};
    }
    if (platform == VER_PLATFORM_WIN32_NT) {
        if (major == 4 && minor == 0)
            return {"Windows NT 4.0", -1};
        if (major == 5 && minor == 0)
            return {"Windows 2000", 1};
        if (major == 5 && minor == 1)
            return {"Windows XP", 2};
        if (major == 5 && minor == 2)
            return {"Windows 2003", 2};
        if (major == 6 && minor == 0)
            return {"Windows Vista", 3};
        if (major == 6 && minor == 1)
            return {"Windows 7", 3};
        if (major == 6)
            return {"Windows 8", 3};
    }
    return {"Unknown", -1};
}

CString HostsFilePathFor(LONG osClass, const char* folder)
{
    const bool found = folder && *folder;
    switch (osClass) {
    case 0:
        return found ? CString(folder) + "/hosts" : CString("C:/Windows/hosts");
    case 1:
        return found ? CString(folder) + "/drivers/etc/hosts" : CString("C:/WINNT/System32/drivers/etc/hosts");
    case 2:
        return found ? CString(folder) + "/drivers/etc/hosts" : CString("C:/windows/System32/drivers/etc/hosts");
    default:
        return CString();
    }
}

bool InitEnvironment(PevlinState& state)
{
    OSVERSIONINFOA version = {sizeof version};
    OsClassification os = {"Unknown", -1};
    if (GetVersionExA(&version))
        os = ClassifyOs(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
    CopyBounded(state.osName, os.name);
    state.osClass = os.osClass;

    char folder[MAX_PATH] = {};
    if (os.osClass == 0 || os.osClass == 1 || os.osClass == 2) {
        const int id = os.osClass == 0 ? CSIDL_WINDOWS : CSIDL_SYSTEM;
        if (!SHGetSpecialFolderPathA(nullptr, folder, id, FALSE))
            folder[0] = '\0';
    }
    if (!CopyBounded(state.hostsFilePath, HostsFilePathFor(os.osClass, folder)))
        state.hostsFilePath[0] = '\0';

    const CString logFile = state.LogPath + "\\axpevlin.log";
    if (!CopyBounded(state.logFilePath, logFile) ||
        GetFileAttributesA(state.logFilePath) == INVALID_FILE_ATTRIBUTES ||
        (GetFileAttributesA(state.logFilePath) & FILE_ATTRIBUTE_DIRECTORY))
        state.logFilePath[0] = '\0';
    return state.logFilePath[0] != '\0';
}
