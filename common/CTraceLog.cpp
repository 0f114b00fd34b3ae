#include "CTraceLog.h"

#include <ctime>

CTraceLog::CTraceLog() : startTick(GetTickCount()), opsTrace(0)
{
    InitializeCriticalSection(&lock);
}

CTraceLog::~CTraceLog()
{
    DeleteCriticalSection(&lock);
}

void CTraceLog::SetPattern(const char* text)
{
    EnterCriticalSection(&lock);
    pattern = text ? text : "";
    LeaveCriticalSection(&lock);
}

void CTraceLog::SetLogFile(const char* folder, const char* name)
{
    if (!name || !*name) {
        SetPattern("");
        return;
    }
    CString escaped = folder ? folder : "";
    escaped.Replace("%", "%%");
    CString joined = escaped;
    if (!joined.IsEmpty() && joined[joined.GetLength() - 1] != '\\')
        joined += '\\';
    joined += name;
    // The file name must fit the path buffer that the expansion fills.
    SetPattern(joined.GetLength() < MAX_PATH ? joined.GetString() : "");
}

void CTraceLog::Write(const char* text)
{
    EnterCriticalSection(&lock);
    const bool off = pattern.IsEmpty();
    LeaveCriticalSection(&lock);
    if (off)
        return;

    const time_t now = time(nullptr);
    struct tm local;
    if (localtime_s(&local, &now) != 0)
        return;
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &local);
    CString record;
    record.Format("%s%08d [%04d] %s", stamp, int(GetTickCount() - startTick), int(GetCurrentThreadId()),
                  text ? text : "");

    EnterCriticalSection(&lock);
    const time_t again = time(nullptr);
    char fileName[MAX_PATH];
    if (localtime_s(&local, &again) == 0 && strftime(fileName, sizeof fileName, pattern, &local) > 0) {
        HANDLE file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            SetFilePointer(file, 0, nullptr, FILE_END);
            DWORD written = 0;
            WriteFile(file, record.GetString(), DWORD(record.GetLength()), &written, nullptr);
            CloseHandle(file);
        }
    }
    LeaveCriticalSection(&lock);
}

void CTraceLog::WriteLine(const char* text)
{
    CString line = text ? text : "";
    line += "\r\n";
    Write(line);
}
