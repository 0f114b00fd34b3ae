#include "LogLines.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "KavoVersion.h"

namespace {

constexpr const char kVersionLine[] = "[AxPevlin]\t\t: version " KAVO_VERSION_TEXT " kelm\n";

// Reads exactly `digits` decimal digits at p into value; false when they are not there.
bool Digits(const char*& p, int digits, int& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i, ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + (*p - '0');
    }
    return true;
}

bool Literal(const char*& p, const char* text)
{
    const size_t length = std::strlen(text);
    if (std::strncmp(p, text, length) != 0)
        return false;
    p += length;
    return true;
}

// "hh:mm:ss"
bool ClockTime(const char*& p, LogLine& out)
{
    return Digits(p, 2, out.hour) && Literal(p, ":") && Digits(p, 2, out.minute) && Literal(p, ":") &&
           Digits(p, 2, out.second);
}

// "yyyy/mm/dd hh:mm:ss ================" with a year of at least four digits.
bool StampAndRule(const char*& p, LogLine& out)
{
    int digits = 0;
    while (p[digits] >= '0' && p[digits] <= '9' && digits < 9)
        ++digits;
    if (digits < 4 || p[digits] != '/')
        return false;
    return Digits(p, digits, out.year) && Literal(p, "/") && Digits(p, 2, out.month) && Literal(p, "/") &&
           Digits(p, 2, out.day) && Literal(p, " ") && ClockTime(p, out) && Literal(p, " ================");
}

// The rest of the line without its line end.
CString RestOfLine(const char* p)
{
    CString rest(p);
    if (rest.GetLength() && rest[rest.GetLength() - 1] == '\n')
        rest = rest.Left(rest.GetLength() - 1);
    if (rest.GetLength() && rest[rest.GetLength() - 1] == '\r')
        rest = rest.Left(rest.GetLength() - 1);
    return rest;
}

}  // namespace

CString FormatLogHeader(const SYSTEMTIME& time, const char* osName)
{
    CString text;
    text.Format("== Start: Analyzing AxPevlin at %d/%02d/%02d %02d:%02d:%02d ================\n\n", time.wYear,
                time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
    text += kVersionLine;
    text.AppendFormat("[OS Name ]\t\t: %s\n", osName);
    text += "\n\n";
    return text;
}

CString FormatTraceLine(const SYSTEMTIME& time, const char* text)
{
    CString line;
    line.Format("Trace Log  -%02d:%02d:%02d\t:%s\n", time.wHour, time.wMinute, time.wSecond, text);
    return line;
}

CString FormatLogFooter(const SYSTEMTIME& time, LONG code)
{
    CString text;
    text.Format("Error Level-%02d:%02d:%02d\t:%ld\n\n", time.wHour, time.wMinute, time.wSecond, long(code));
    text.AppendFormat("==   End: Analyzing AxPevlin at %d/%02d/%02d %02d:%02d:%02d ================\n\n\n",
                      time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
    return text;
}

LogLine ParseLogLine(const char* line)
{
    LogLine out;
    const CString whole = RestOfLine(line);
    const char* p = whole;
    if (Literal(p, "== Start: Analyzing AxPevlin at ")) {
        if (StampAndRule(p, out) && !*p)
            out.kind = LogLineKind::Start;
    } else if (Literal(p, "==   End: Analyzing AxPevlin at ")) {
        if (StampAndRule(p, out) && !*p)
            out.kind = LogLineKind::End;
    } else if (Literal(p, "[AxPevlin]\t\t: ")) {
        out.kind = LogLineKind::Version;
        out.text = p;
    } else if (Literal(p, "[OS Name ]\t\t: ")) {
        out.kind = LogLineKind::OsName;
        out.text = p;
    } else if (Literal(p, "Trace Log  -")) {
        if (ClockTime(p, out) && Literal(p, "\t:")) {
            out.kind = LogLineKind::Trace;
            out.text = p;
        }
    } else if (Literal(p, "Error Level-")) {
        if (ClockTime(p, out) && Literal(p, "\t:")) {
            const char* digits = p;
            if (*digits == '-')
                ++digits;
            if (*digits >= '0' && *digits <= '9') {
                char* end = nullptr;
                const long code = std::strtol(p, &end, 10);
                if (end && !*end) {
                    out.kind = LogLineKind::ErrorLevel;
                    out.code = LONG(code);
                }
            }
        }
    }
    if (out.kind == LogLineKind::None)
        out = LogLine();
    return out;
}
