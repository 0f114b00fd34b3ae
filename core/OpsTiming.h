#pragma once
// The clock rules of the order-system client: the server time taken from an answer's Date
// header, how long ordered work may take to finish, and how often its status is asked.
#include <windows.h>

// Seconds of the Date header's fields read as a local calendar time, plus nine hours: turned
// back into local calendar fields it gives Japan time whatever the PC's zone. A year before
// 1900 counts as 0 before the nine hours are added.
LONGLONG ServerTimeFromDate(const SYSTEMTIME& date);
// The server time of a moment without a Date header: the PC's UTC clock read the same way.
LONGLONG ServerTimeNow();
// hour * 100 + minute of a server time (local calendar fields).
int ServerTimeHhmm(LONGLONG serverTime);

// The time limit in seconds. start and end are HHMM texts of the busy window (it may wrap
// midnight; equal texts mean no window), timeout and busyTimeout seconds outside and inside
// it. A limit below 1 second becomes 60.
int OpsTimeLimitSeconds(const char* start, const char* end, const char* timeout, const char* busyTimeout,
                        int nowHhmm);
// The status interval in milliseconds: seconds * 1000, and 1000 when that is 1000 or less or
// not below the limit.
DWORD OpsPollIntervalMs(const char* intervalSeconds, int limitSeconds);
// True once limitMs have gone by since startTick; right across the tick counter's wrap.
inline bool DeadlinePassed(DWORD startTick, DWORD limitMs, DWORD nowTick)
{
    return DWORD(nowTick - startTick) >= limitMs;
}
