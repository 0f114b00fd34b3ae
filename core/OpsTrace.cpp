#include "OpsTrace.h"

#include <cstring>

#include "CTextDef.h"

namespace {

// Workers of parallel requests write at the same time.
CRITICAL_SECTION& TraceLock()
{
    static CRITICAL_SECTION lock = [] {
        CRITICAL_SECTION made;
        InitializeCriticalSection(&made);
        return made;
    }();
    return lock;
}

}  // namespace

CString OpsTraceFileName(const char* folder, const SYSTEMTIME& time, BOOL isRequest, const char* procId)
{
    CString name;
    name.Format("%s[OPSLOG]%04d%02d%02d_%02d%02d%02d%03d_%s_%s.txt", folder ? folder : "", time.wYear, time.wMonth,
                time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds, isRequest ? "POST" : "RESP",
                procId ? procId : "");
    return name;
}

void WriteOpsTrace(const char* text, const char* procId, BOOL enabled, BOOL isRequest)
{
    if (!enabled)
        return;
    const CString folder = CTextDef::GetText("COMMON_NAME_OPSLOGDIR");
    // Without a folder the files would land in whatever the current folder is.
    if (folder.IsEmpty())
        return;
    EnterCriticalSection(&TraceLock());
    SYSTEMTIME now;
    GetLocalTime(&now);
    // The name is used as built: a "%" in the folder is a character of the path, not a field.
    const CString name = OpsTraceFileName(folder, now, isRequest, procId);
    HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetFilePointer(file, 0, nullptr, FILE_END);
        DWORD written = 0;
        const char* bytes = text ? text : "";
        WriteFile(file, bytes, DWORD(std::strlen(bytes)), &written, nullptr);
        CloseHandle(file);
    }
    LeaveCriticalSection(&TraceLock());
}
