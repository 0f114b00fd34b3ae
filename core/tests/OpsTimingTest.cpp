#include <gtest/gtest.h>

#include <ctime>

#include "OpsTiming.h"

namespace {

TEST(OpsTimeLimit, BusyWindowChoosesTheLongerLimit)
{
    const struct {
        const char* start;
        const char* end;
        const char* timeout;
        const char* busyTimeout;
        int now;
        int seconds;
    } cases[] = {
        // A window across midnight, at and beside its bounds.
        {"2350", "0020", "90", "120", 2349, 90},
        {"2350", "0020", "90", "120", 2350, 120},
        {"2350", "0020", "90", "120", 0, 120},
        {"2350", "0020", "90", "120", 20, 120},
        {"2350", "0020", "90", "120", 21, 90},
        {"2350", "0020", "90", "120", 1200, 90},
        // A window within one day.
        {"0900", "1700", "30", "45", 859, 30},
        {"0900", "1700", "30", "45", 900, 45},
        {"0900", "1700", "30", "45", 1700, 45},
        {"0900", "1700", "30", "45", 1701, 30},
        // Equal bounds: never busy.
        {"1200", "1200", "30", "45", 1200, 30},
        {"0000", "0000", "30", "45", 0, 30},
        // A limit below one second.
        {"2350", "0020", "0", "120", 1200, 60},
        {"2350", "0020", "-5", "120", 1200, 60},
        {"2350", "0020", "90", "0", 0, 60},
        {"2350", "0020", "", "120", 1200, 60},
        {"2350", "0020", "1", "120", 1200, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + "-" + c.end + " at " + std::to_string(c.now) + " limit " + c.timeout);
        EXPECT_EQ(OpsTimeLimitSeconds(c.start, c.end, c.timeout, c.busyTimeout, c.now), c.seconds);
    }
}

TEST(OpsPollInterval, OneSecondUnlessLongerAndBelowTheLimit)
{
    const struct {
        const char* interval;
        int limit;
        DWORD ms;
    } cases[] = {
        {"0", 90, 1000}, {"1", 90, 1000}, {"-3", 90, 1000}, {"", 90, 1000}, {"5", 90, 5000},
        {"89", 90, 89000}, {"90", 90, 1000}, {"91", 90, 1000}, {"2", 1, 1000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpsPollIntervalMs(c.interval, c.limit), c.ms) << c.interval << " of " << c.limit;
}

TEST(OpsDeadline, ElapsedTicksAcrossTheCounterWrap)
{
    // 49.7 days of uptime: the tick counter wraps during the wait.
    const DWORD start = 0xFFFFF000u;
    EXPECT_FALSE(DeadlinePassed(start, 90000, start));
    EXPECT_FALSE(DeadlinePassed(start, 90000, start + 5000));   // wrapped, 5 s later
    EXPECT_FALSE(DeadlinePassed(start, 90000, start + 89999));
    EXPECT_TRUE(DeadlinePassed(start, 90000, start + 90000));
    EXPECT_TRUE(DeadlinePassed(start, 90000, start + 100000));
}

TEST(OpsServerTime, DateHeaderReadsBackAsJapanTime)
{
    const SYSTEMTIME gmt = {2030, 1, 2, 1, 14, 49, 30, 0};  // 14:49:30 GMT
    const LONGLONG seconds = ServerTimeFromDate(gmt);
    const time_t asTime = time_t(seconds);
    struct tm local = {};
    ASSERT_EQ(localtime_s(&local, &asTime), 0);
    EXPECT_EQ(local.tm_hour, 23);
    EXPECT_EQ(local.tm_min, 49);
    EXPECT_EQ(local.tm_mday, 1);
    EXPECT_EQ(ServerTimeHhmm(seconds), 2349);

    const SYSTEMTIME ancient = {1899, 12, 0, 31, 23, 0, 0, 0};
    EXPECT_EQ(ServerTimeFromDate(ancient), 32400);
}

}  // namespace
