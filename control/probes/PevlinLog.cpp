#include "PevlinLog.h"

#include <cstdio>

#include "LogLines.h"
#include "OldSystemConsole.h"

namespace {

void Append(const PevlinState& state, const CString& text)
{
    if (!state.logFilePath[0])
        return;
    FILE* file = std::fopen(state.logFilePath, "a");
    if (!file)
        return;
    std::fputs(text, file);
    std::fclose(file);
}

SYSTEMTIME Now()
{
    SYSTEMTIME time;
    GetLocalTime(&time);
    return time;
}

}  // namespace

void WriteLogHeader(const PevlinState& state)
{
    if (state.osClass == 0)
        PrepareConsole();
    Append(state, FormatLogHeader(Now(), state.osName));
}

void WriteTraceLine(const PevlinState& state)
{
    Append(state, FormatTraceLine(Now(), state.traceText));
}

void WriteLogFooter(const PevlinState& state)
{
    Append(state, FormatLogFooter(Now(), state.RtnCode));
    if (state.osClass == 0)
        ReleaseConsole();
}
