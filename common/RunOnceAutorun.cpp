#include "RunOnceAutorun.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>

#include "CRegKey.h"
#include "CTextDef.h"

namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kCompanionExe[] = "\\kavocomp.exe";

// Every length is checked before it is written: args come from our own command line.
bool BuildCommand(const char* args, char (&command)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameA(nullptr, command, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    if (!PathRemoveFileSpecA(command))
        return false;

    size_t used = std::strlen(command);
    if (used + sizeof kCompanionExe > MAX_PATH)
        return false;
    std::memcpy(command + used, kCompanionExe, sizeof kCompanionExe);
    used += sizeof kCompanionExe - 1;

    if (std::strchr(command, ' ')) {
        if (used + 2 + 1 > MAX_PATH)
            return false;
        PathQuoteSpacesA(command);
        used = std::strlen(command);
    }

    if (args && *args) {
        const size_t argsLength = std::strlen(args);
        if (used + 1 + argsLength + 1 > MAX_PATH)
            return false;
        command[used] = ' ';
        std::memcpy(command + used + 1, args, argsLength + 1);
    }
    return true;
}

}  // namespace

bool SetRunOnceAutorun(int set, const char* args)
{
    CRegKey key;
    if (key.Create(HKEY_CURRENT_USER, kRunOnceKey, KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE) != ERROR_SUCCESS)
        return false;
    const CString name = CTextDef::GetText("COMMON_NAME_AUTORUN");

    LONG rc;
    if (set == 0) {
        rc = key.DeleteValue(name);
    } else {
        char command[MAX_PATH];
        if (!BuildCommand(args, command))
            return false;
        rc = key.SetStringValue(name, command);
    }
    key.Close();
    return rc == ERROR_SUCCESS;
}
