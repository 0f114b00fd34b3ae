#pragma once
// The lines of the control's log file "axpevlin.log": written by the log writer, read back by
// support tools and tests. Each text ends in "\n" (the file is written in text mode).
#include <windows.h>

#include "CStringT.h"

// "== Start: ..." with the time, the version line, the OS line and two empty lines.
CString FormatLogHeader(const SYSTEMTIME& time, const char* osName);
// "Trace Log  -hh:mm:ss\t:<text>".
CString FormatTraceLine(const SYSTEMTIME& time, const char* text);
// "Error Level-hh:mm:ss\t:<code>", an empty line, then "==   End: ..." and two empty lines.
CString FormatLogFooter(const SYSTEMTIME& time, LONG code);

enum class LogLineKind { None, Start, Version, OsName, Trace, ErrorLevel, End };

struct LogLine {
    LogLineKind kind = LogLineKind::None;
    // Start and End: year, month, day; all kinds with a time: hour, minute, second.
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // Version, OsName, Trace: the text after the ":"; ErrorLevel: the code.
    CString text;
    LONG code = 0;
};

// One line of the file, without or with its line end (LF or CR LF). Kind None for a line
// that is none of the above (the empty lines between groups among them).
LogLine ParseLogLine(const char* line);
