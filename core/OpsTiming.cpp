#include "OpsTiming.h"

#include <shlwapi.h>

#include <ctime>

namespace {

const LONGLONG kJapanOffsetSeconds = 9 * 60 * 60;

}  // namespace

LONGLONG ServerTimeFromDate(const SYSTEMTIME& date)
{
    LONGLONG seconds = 0;
    if (date.wYear >= 1900) {
        struct tm fields = {};
        fields.tm_year = date.wYear - 1900;
        fields.tm_mon = date.wMonth - 1;
        fields.tm_mday = date.wDay;
        fields.tm_hour = date.wHour;
        fields.tm_min = date.wMinute;
        fields.tm_sec = date.wSecond;
        fields.tm_isdst = -1;
        const time_t made = mktime(&fields);
        seconds = made == time_t(-1) ? 0 : LONGLONG(made);
    }
    return seconds + kJapanOffsetSeconds;
}

LONGLONG ServerTimeNow()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return ServerTimeFromDate(now);
}

int ServerTimeHhmm(LONGLONG serverTime)
{
    const time_t seconds = time_t(serverTime);
    struct tm local = {};
    if (localtime_s(&local, &seconds) != 0)
        return 0;
    return (local.tm_hour % 24) * 100 + local.tm_min;
}

int OpsTimeLimitSeconds(const char* start, const char* end, const char* timeout, const char* busyTimeout,
                        int nowHhmm)
{
    const WORD from = WORD(StrToIntA(start ? start : ""));
    const WORD to = WORD(StrToIntA(end ? end : ""));
    bool busy = false;
    if (from < to)
        busy = from <= nowHhmm && nowHhmm <= to;
    else if (from > to)
        busy = nowHhmm >= from || nowHhmm <= to;
    const char* chosen = busy ? busyTimeout : timeout;
    const int limit = StrToIntA(chosen ? chosen : "");
    return limit < 1 ? 60 : limit;
}

DWORD OpsPollIntervalMs(const char* intervalSeconds, int limitSeconds)
{
    const LONGLONG interval = LONGLONG(StrToIntA(intervalSeconds ? intervalSeconds : "")) * 1000;
    if (interval <= 1000 || interval >= LONGLONG(limitSeconds) * 1000)
        return 1000;
    return DWORD(interval);
}
