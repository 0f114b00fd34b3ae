#pragma once
// Appends timestamped lines to the run's log file. Off until a file-name pattern is set.
// Lives inside the page context, so its layout is shared by all deliverables.
#include <windows.h>

#include "CStringT.h"

class CTraceLog {
public:
    CTraceLog();
    ~CTraceLog();
    CTraceLog(const CTraceLog&) = delete;
    CTraceLog& operator=(const CTraceLog&) = delete;

    // The pattern is a strftime format expanded at every write, so date fields rotate the file.
    void SetPattern(const char* pattern);
    // folder + "\" + name as the pattern. An empty name turns logging off, and a "%" in the
    // folder stands for itself, never for a date field.
    void SetLogFile(const char* folder, const char* name);
    const CString& GetPattern() const { return pattern; }

    void Write(const char* text);
    void WriteLine(const char* text);

    LONG GetOpsTrace() const { return opsTrace; }
    void SetOpsTrace(LONG on) { opsTrace = on; }

private:
    CRITICAL_SECTION lock;
    DWORD startTick;
    CString pattern;
    // Read by the order-system client to decide on its own protocol files.
    LONG opsTrace;
};
