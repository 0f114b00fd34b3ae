#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "CTraceLog.h"
#include "KavoTestPaths.h"

namespace {

class TraceLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        // A "%" in the folder must stand for itself.
        folder = std::string(temp) + "kavo%Ylog";
        CreateDirectoryA(folder.c_str(), nullptr);
        path = folder + "\\trace.log";
        DeleteFileA(path.c_str());
    }
    void TearDown() override
    {
        DeleteFileA(path.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string ReadLog() const { return ReadWholeFile(path); }

    std::string folder;
    std::string path;
};

TEST_F(TraceLogTest, LineHasDateElapsedThreadAndText)
{
    CTraceLog log;
    log.SetLogFile(folder.c_str(), "trace.log");
    log.WriteLine("start");
    log.Write("end\r\n");
    const std::string text = ReadLog();
    const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \d{8} \[\d{4,}\] start\r\n)"
                          R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \d{8} \[\d{4,}\] end\r\n)");
    EXPECT_TRUE(std::regex_match(text, line)) << text;
    char id[16];
    wsprintfA(id, "[%04d] ", int(GetCurrentThreadId()));
    EXPECT_NE(text.find(id), std::string::npos);
}

TEST_F(TraceLogTest, DateFieldsInTheNameAreExpanded)
{
    CTraceLog log;
    log.SetLogFile(folder.c_str(), "t%Y.log");
    log.WriteLine("x");
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[64];
    wsprintfA(name, "\\t%04d.log", now.wYear);
    const std::string dated = folder + name;
    EXPECT_NE(GetFileAttributesA(dated.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(dated.c_str());
}

TEST_F(TraceLogTest, EmptyNameOrPatternWritesNothing)
{
    CTraceLog log;
    log.WriteLine("nothing");
    log.SetLogFile(folder.c_str(), "");
    EXPECT_TRUE(log.GetPattern().IsEmpty());
    log.WriteLine("nothing");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TraceLogTest, TwoThreadsWriteWholeLines)
{
    CTraceLog log;
    log.SetLogFile(folder.c_str(), "trace.log");
    const std::string payloadA(300, 'a');
    const std::string payloadB(300, 'b');
    auto writer = [&log](const std::string& payload) {
        for (int i = 0; i < 100; ++i)
            log.WriteLine(payload.c_str());
    };
    std::thread a(writer, payloadA);
    std::thread b(writer, payloadB);
    a.join();
    b.join();

    const std::string text = ReadLog();
    int lines = 0;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = text.substr(start, end - start);
        const std::string tail = line.substr(line.size() > 300 ? line.size() - 300 : 0);
        EXPECT_TRUE(tail == payloadA || tail == payloadB) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 200);
    EXPECT_EQ(start, text.size());
}

}  // namespace
