#include "SetupWatch.h"

#include <tlhelp32.h>
#include <mbstring.h>

#include "CHandle.h"
#include "CTextDef.h"

namespace {

bool SameImageName(const char* a, const char* b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b)) == 0;
}

// Calls visit for each process of a fresh snapshot until it returns true; false when the
// snapshot fails or nothing matched.
template <typename Visit>
bool ForEachProcess(Visit visit)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    CHandle owner(snapshot);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (visit(entry))
            return true;
    return false;
}

}  // namespace

DWORD FindProcessIdByImageName(const char* imageName)
{
    DWORD found = 0;
    ForEachProcess([&](const PROCESSENTRY32& entry) {
        if (SameImageName(entry.szExeFile, imageName))
            found = entry.th32ProcessID;
        return false;
    });
    return found;
}

DWORD FindSetupProcessId()
{
    const HWND window = FindWindowA(nullptr, CTextDef::GetText("COMMON_WINDOW_TITLE"));
    if (!window)
        return 0;
    DWORD windowProcess = 0;
    GetWindowThreadProcessId(window, &windowProcess);
    const CString module = CTextDef::GetText("COMMON_WINDOW_MODULE");
    const CString setup = CTextDef::GetText("COMMON_SETUP_EXE_FILE_NAME");
    DWORD parent = 0;
    if (!ForEachProcess([&](const PROCESSENTRY32& entry) {
            if (entry.th32ProcessID != windowProcess)
                return false;
            if (SameImageName(entry.szExeFile, module))
                parent = entry.th32ParentProcessID;
            return true;
        }) ||
        !parent)
        return 0;
    DWORD found = 0;
    ForEachProcess([&](const PROCESSENTRY32& entry) {
        if (entry.th32ProcessID != parent)
            return false;
        if (SameImageName(entry.szExeFile, setup))
            found = parent;
        return true;
    });
    return found;
}

int WaitForSetupToFinish(const SetupWaitTimings& timings)
{
    const DWORD start = GetTickCount();
    DWORD setupProcess = 0;
    for (;;) {
        if (!FindProcessIdByImageName(CTextDef::GetText("COMMON_SETUP_EXE_FILE_NAME")) &&
            GetTickCount() - start >= timings.giveUpMs)
            return -1;
        setupProcess = FindSetupProcessId();
        if (setupProcess)
            break;
        Sleep(timings.pollMs);
    }
    CHandle process(OpenProcess(SYNCHRONIZE, FALSE, setupProcess));
    if (!process)
        return 0;
    return WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 ? 0 : -1;
}
