#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "BoundedText.h"
#include "FakeTools.h"
#include "KavoTestPaths.h"
#include "KavoVersion.h"
#include "LogLines.h"
#include "PevlinLog.h"

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

TEST(LogLineFormats, GroupsHaveTheirFixedShape)
{
    EXPECT_STREQ(FormatLogHeader(At(2012, 8, 8, 9, 5, 3), "Windows XP"),
                 "== Start: Analyzing AxPevlin at 2012/08/08 09:05:03 ================\n\n"
                 "[AxPevlin]\t\t: version " KAVO_VERSION_TEXT " kelm\n"
                 "[OS Name ]\t\t: Windows XP\n\n\n");
    EXPECT_STREQ(FormatTraceLine(At(2012, 8, 8, 23, 59, 58), "Detection of Router -> Start"),
                 "Trace Log  -23:59:58\t:Detection of Router -> Start\n");
    EXPECT_STREQ(FormatLogFooter(At(2012, 12, 31, 0, 0, 1), 204),
                 "Error Level-00:00:01\t:204\n\n"
                 "==   End: Analyzing AxPevlin at 2012/12/31 00:00:01 ================\n\n\n");
}

TEST(LogLineFormats, EveryWrittenLineParsesBack)
{
    struct Case {
        std::string line;
        LogLineKind kind;
        int year, month, day, hour, minute, second;
        const char* text;
        LONG code;
    } cases[] = {
        {"== Start: Analyzing AxPevlin at 2012/08/08 09:05:03 ================\n", LogLineKind::Start, 2012, 8, 8,
         9, 5, 3, "", 0},
        {"==   End: Analyzing AxPevlin at 2026/12/31 23:59:59 ================\r\n", LogLineKind::End, 2026, 12, 31,
         23, 59, 59, "", 0},
        {"[AxPevlin]\t\t: version 5.4.0.2 kelm\n", LogLineKind::Version, 0, 0, 0, 0, 0, 0, "version 5.4.0.2 kelm",
         0},
        {"[OS Name ]\t\t: Windows 7\n", LogLineKind::OsName, 0, 0, 0, 0, 0, 0, "Windows 7", 0},
        {"Trace Log  -01:02:03\t:ルミオ接続ツール -> 検出", LogLineKind::Trace, 0, 0, 0, 1, 2, 3,
         "ルミオ接続ツール -> 検出", 0},
        {"Trace Log  -01:02:03\t:", LogLineKind::Trace, 0, 0, 0, 1, 2, 3, "", 0},
        {"Error Level-12:00:00\t:250\n", LogLineKind::ErrorLevel, 0, 0, 0, 12, 0, 0, "", 250},
        {"Error Level-12:00:00\t:-1\n", LogLineKind::ErrorLevel, 0, 0, 0, 12, 0, 0, "", -1},
    };
    for (const Case& c : cases) {
        const LogLine parsed = ParseLogLine(c.line.c_str());
        EXPECT_EQ(parsed.kind, c.kind) << c.line;
        EXPECT_EQ(parsed.year, c.year) << c.line;
        EXPECT_EQ(parsed.month, c.month) << c.line;
        EXPECT_EQ(parsed.day, c.day) << c.line;
        EXPECT_EQ(parsed.hour, c.hour) << c.line;
        EXPECT_EQ(parsed.minute, c.minute) << c.line;
        EXPECT_EQ(parsed.second, c.second) << c.line;
        EXPECT_STREQ(parsed.text, c.text) << c.line;
        EXPECT_EQ(parsed.code, c.code) << c.line;
    }
}

TEST(LogLineFormats, MalformedLinesAreNone)
{
    for (const char* line : {"", "\n", "Trace Log  -1:02:03\t:x", "Trace Log  -01:02:03 :x", "Error Level-12:00:00\t:",
                             "Error Level-12:00:00\t:25x", "Error Level-12:00:00\t:-",
                             "== Start: Analyzing AxPevlin at 12/08/08 09:05:03 ================",
                             "== Start: Analyzing AxPevlin at 2012/08/08 09:05:03 =====",
                             "== Start: Analyzing AxPevlin at 2012/08/08 09:05:03 ================ more",
                             "trace log  -01:02:03\t:x"}) {
        const LogLine parsed = ParseLogLine(line);
        EXPECT_EQ(parsed.kind, LogLineKind::None) << line;
        EXPECT_EQ(parsed.hour, 0) << line;
        EXPECT_STREQ(parsed.text, "") << line;
    }
}

class PevlinLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeTestFolder("log");
        path = folder + "\\axpevlin.log";
        CopyBounded(state.osName, "Windows XP");
        state.osClass = 2;
    }
    void TearDown() override { RemoveTestFolder(folder); }

    std::string folder, path;
    PevlinState state;
};

TEST_F(PevlinLog, RunIsAppendedAsHeaderTraceLinesAndFooter)
{
    ASSERT_TRUE(WriteWholeFile(path, "earlier run\r\n"));
    CopyBounded(state.logFilePath, path.c_str());
    WriteLogHeader(state);
    state.traceText = "HTTP Request Confirmation -> Try";
    WriteTraceLine(state);
    state.traceText = "User environment -> ルータ";
    WriteTraceLine(state);
    state.RtnCode = 201;
    WriteLogFooter(state);

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "earlier run");
    const LogLineKind kinds[] = {LogLineKind::None,  LogLineKind::Start,  LogLineKind::None,  LogLineKind::Version,
                                 LogLineKind::OsName, LogLineKind::None,   LogLineKind::None,  LogLineKind::Trace,
                                 LogLineKind::Trace,  LogLineKind::ErrorLevel, LogLineKind::None, LogLineKind::End,
                                 LogLineKind::None,   LogLineKind::None};
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(ParseLogLine(lines[i].c_str()).kind, kinds[i]) << i << ": " << lines[i];
    EXPECT_STREQ(ParseLogLine(lines[4].c_str()).text, "Windows XP");
    EXPECT_STREQ(ParseLogLine(lines[7].c_str()).text, "HTTP Request Confirmation -> Try");
    EXPECT_STREQ(ParseLogLine(lines[8].c_str()).text, "User environment -> ルータ");
    EXPECT_EQ(ParseLogLine(lines[9].c_str()).code, 201);

    // Local time, the same in the header and the footer within a few seconds.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LogLine start = ParseLogLine(lines[1].c_str());
    EXPECT_EQ(start.year, now.wYear);
    EXPECT_EQ(start.month, now.wMonth);
    EXPECT_EQ(ParseLogLine(lines[11].c_str()).day, start.day);
}

TEST_F(PevlinLog, NothingIsWrittenWhileLoggingIsOff)
{
    ASSERT_TRUE(WriteWholeFile(path, ""));
    WriteLogHeader(state);
    state.traceText = "x";
    WriteTraceLine(state);
    WriteLogFooter(state);
    EXPECT_EQ(ReadWholeFile(path), "");
}

TEST_F(PevlinLog, FileThatCannotBeOpenedSkipsTheGroup)
{
    CopyBounded(state.logFilePath, (folder + "\\gone\\axpevlin.log").c_str());
    WriteLogHeader(state);
    WriteTraceLine(state);
    WriteLogFooter(state);
    EXPECT_EQ(GetFileAttributesA(state.logFilePath), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PevlinLog, OldSystemGetsAConsoleAndTheBrowserWindowHiddenBeforeTheTools)
{
    const HWND browser = CreateWindowExA(0, "STATIC", "IEXPLORE", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(WriteWholeFile(path, ""));
    CopyBounded(state.logFilePath, path.c_str());
    state.osClass = 0;
    WriteLogHeader(state);
    EXPECT_FALSE(IsWindowVisible(browser));
    WriteLogFooter(state);
    DestroyWindow(browser);
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(ParseLogLine(lines.front().c_str()).kind, LogLineKind::Start);
    EXPECT_EQ(ParseLogLine(lines[lines.size() - 3].c_str()).kind, LogLineKind::End);
}

}  // namespace
