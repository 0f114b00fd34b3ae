// The notice before sign-in: how its text is split into headers and body, which header gives
// the order system's status, and how a fetch ends, served by the local fake server.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "CMotdFetcher.h"
#include "CTextDef.h"
#include "FakeServer.h"
#include "KavoMessages.h"
#include "NotifyWindow.h"
#include "ThreadStart.h"

namespace {

const char kNoticePath[] = "/notice/notice_k.txt";

HANDLE FailingStarter(ThreadProc, void*, unsigned, unsigned*)
{
    return nullptr;
}

// A starter that fails while it lives.
class NoThreads {
public:
    NoThreads() : m_former(SetThreadStarter(FailingStarter)) {}
    ~NoThreads() { SetThreadStarter(m_former); }
    NoThreads(const NoThreads&) = delete;
    NoThreads& operator=(const NoThreads&) = delete;

private:
    ThreadStarter m_former;
};

std::string Body(const CMotdFetcher& fetcher)
{
    return fetcher.GetBody().GetString();
}

TEST(MotdParse, SplitsHeadersFromBodyAndReadsTheStatusHeader)
{
    const struct {
        const char* name;
        const char* text;
        int status;
        const char* body;
    } cases[] = {
        {"status then body", "OPS-Status: 1\r\n\r\nお知らせです。\r\n", 1, "お知らせです。\r\n"},
        {"blanks around the value", "OPS-Status:   2  \r\n\r\n", 2, ""},
        {"continued value stops the number at its CR", "OPS-Status: 1\r\n  later\r\n\r\nb\r\n", 1, "b\r\n"},
        {"first of two status headers", "OPS-Status: 3\r\nOPS-Status: 1\r\n\r\n", 3, ""},
        {"no status header", "Other: 1\r\n\r\nb\r\n", -1, "b\r\n"},
        {"empty status value", "OPS-Status:\r\n\r\n", -1, ""},
        {"value that is no number", "OPS-Status: open\r\n\r\n", -1, ""},
        {"number stops at its first non-digit", "OPS-Status: 12abc\r\n", 12, ""},
        {"negative number", "OPS-Status: -4\r\n", -4, ""},
        {"name is case-sensitive", "ops-status: 1\r\n\r\n", -1, ""},
        {"blanks around the name", "  OPS-Status  : 5\r\n", 5, ""},
        {"no empty line: no body", "OPS-Status: 1\r\nno colon here\r\n", 1, ""},
        {"runs of LF are one separator", "OPS-Status: 1\n\n\r\n\nA\r\n\n\nB\r\n", 1, "A\r\nB\r\n"},
        {"later empty lines belong to the body", "OPS-Status: 1\r\n\r\nA\r\n\r\nB", 1, "A\r\n\r\nB\n"},
        {"LF-only lines never end the headers", "OPS-Status: 1\n\nbody\n", 1, ""},
        {"empty text", "", -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMotdFetcher fetcher;
        fetcher.Parse(c.text);
        EXPECT_EQ(fetcher.GetOpsStatus(), c.status);
        EXPECT_EQ(Body(fetcher), c.body);
    }
}

TEST(MotdParse, KeepsEveryHeaderInArrivalOrderWithContinuationsJoinedByCrLf)
{
    CMotdFetcher fetcher;
    fetcher.Parse(" lead: before any header\r\n"
                  "Url: http://127.0.0.1/a:b\r\n"
                  "Note: one\r\n"
                  "\t two \r\n"
                  "   three\r\n"
                  "skipped line\r\n"
                  "Url: second\r\n"
                  "\r\n"
                  "Body: not a header\r\n");
    const struct {
        const char* name;
        const char* value;
    } expected[] = {
        {"lead", "before any header"}, {"Url", "http://127.0.0.1/a:b"}, {"Note", "one\r\ntwo\r\nthree"}, {"Url", "second"}};
    ASSERT_EQ(fetcher.GetHeaderCount(), int(sizeof expected / sizeof expected[0]));
    for (int i = 0; i < fetcher.GetHeaderCount(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(fetcher.GetHeaderName(i), expected[i].name);
        EXPECT_STREQ(fetcher.GetHeaderValue(i), expected[i].value);
    }
    EXPECT_EQ(Body(fetcher), "Body: not a header\r\n");

    // A second text is added to the first.
    fetcher.Parse("OPS-Status: 0\r\n\r\nmore\r\n");
    EXPECT_EQ(fetcher.GetHeaderCount(), 5);
    EXPECT_EQ(fetcher.GetOpsStatus(), 0);
    EXPECT_EQ(Body(fetcher), "Body: not a header\r\nmore\r\n");
}

TEST(MotdParse, StatusHeaderNameComesFromTheDefinitionWhenItHasOne)
{
    CMotdFetcher fetcher;
    fetcher.Parse("OPS-Status: 1\r\nX-Ops: 7\r\n\r\n");
    CTextDef::SetText("COMMON_NAME_OPSSTATUSFIELD", "X-Ops");
    EXPECT_EQ(fetcher.GetOpsStatus(), 7);
    CTextDef::SetText("COMMON_NAME_OPSSTATUSFIELD", "");
    EXPECT_EQ(fetcher.GetOpsStatus(), 1);
    CTextDef::RemoveAll();
}

class MotdFetch : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr);
        ASSERT_TRUE(server->Reset());
        CTextDef::SetDomainUrl(server->BaseUrl().c_str());
        CTextDef::SetText("COMMON_URI_MOTD", (std::string("&CURL;") + kNoticePath + "?v=1").c_str());
    }
    void TearDown() override
    {
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
    }

    static void ExpectEmpty(const CMotdFetcher& fetcher)
    {
        EXPECT_EQ(fetcher.GetHeaderCount(), 0);
        EXPECT_EQ(fetcher.GetOpsStatus(), -1);
        EXPECT_EQ(Body(fetcher), "");
    }

    FakeServer* server = nullptr;
};

TEST_F(MotdFetch, WaitingStartReturnsWithTheServedNoticeSplit)
{
    ASSERT_TRUE(server->Route(kNoticePath, "OPS-Status: 1\r\nDate: today\r\n\r\n本日は営業中です。\r\n二行目\r\n"));
    CMotdFetcher fetcher;
    EXPECT_EQ(fetcher.Start(nullptr, TRUE), 0);
    EXPECT_EQ(server->Hits(kNoticePath), 1);
    EXPECT_EQ(fetcher.GetOpsStatus(), 1);
    EXPECT_EQ(fetcher.GetHeaderCount(), 2);
    EXPECT_EQ(Body(fetcher), "本日は営業中です。\r\n二行目\r\n");
}

TEST_F(MotdFetch, FailedDownloadLeavesTheFetcherEmpty)
{
    const struct {
        const char* name;
        const char* mode;  // null: nobody listens at the port
    } cases[] = {{"404", "404"}, {"500", "500"}, {"closed without answer", "close"}, {"refused", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->Route(kNoticePath, "OPS-Status: 1\r\n\r\nbody\r\n"));
        if (c.mode) {
            // WinINet asks once more when a connection drops unanswered.
            ASSERT_TRUE(server->Fail(kNoticePath, c.mode, 2));
        } else {
            const std::string url = "http://127.0.0.1:" + std::to_string(server->ClosedPort()) + kNoticePath;
            CTextDef::SetText("COMMON_URI_MOTD", url.c_str());
        }
        CMotdFetcher fetcher;
        NotifyWindow window;
        EXPECT_EQ(fetcher.Start(window.Get(), TRUE), 0);
        ExpectEmpty(fetcher);
        const std::vector<MSG> done = window.Wait(5000);
        ASSERT_EQ(done.size(), 1u);
        EXPECT_EQ(done[0].wParam, 0u);
        EXPECT_EQ(done[0].lParam, reinterpret_cast<LPARAM>(&fetcher));
        CTextDef::SetText("COMMON_URI_MOTD", (std::string("&CURL;") + kNoticePath).c_str());
    }
}

TEST_F(MotdFetch, EndIsPostedToTheWindowOnceTheNoticeIsIn)
{
    ASSERT_TRUE(server->Route(kNoticePath, "OPS-Status: 2\r\n\r\nlater\r\n", 200, "{}", 0.3));
    CMotdFetcher fetcher;
    NotifyWindow window;
    EXPECT_EQ(fetcher.Start(window.Get(), FALSE), 0);
    const std::vector<MSG> done = window.Wait(10000);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].wParam, 0u);
    EXPECT_EQ(done[0].lParam, reinterpret_cast<LPARAM>(&fetcher));
    EXPECT_EQ(fetcher.GetOpsStatus(), 2);
    EXPECT_EQ(Body(fetcher), "later\r\n");
}

TEST_F(MotdFetch, DestroyingTheFetcherWaitsForItsRunningWorker)
{
    ASSERT_TRUE(server->Route(kNoticePath, "OPS-Status: 1\r\n\r\nslow\r\n", 200, "{}", 0.5));
    NotifyWindow window;
    std::unique_ptr<CMotdFetcher> fetcher(new CMotdFetcher);
    const LPARAM address = reinterpret_cast<LPARAM>(fetcher.get());
    fetcher->Start(window.Get(), FALSE);
    fetcher.reset();
    // The worker posts its end last: it is queued already when the destructor has returned.
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window.Get(), WM_KAVO_REQUESTDONE, WM_KAVO_REQUESTDONE, PM_REMOVE));
    EXPECT_EQ(msg.lParam, address);
    EXPECT_EQ(server->Hits(kNoticePath), 1);
}

TEST_F(MotdFetch, WorkerThatCannotStartEndsTheFetchEmptyAndPostsItsEnd)
{
    ASSERT_TRUE(server->Route(kNoticePath, "OPS-Status: 1\r\n\r\nbody\r\n"));
    NoThreads noThreads;
    CMotdFetcher fetcher;
    NotifyWindow window;
    EXPECT_EQ(fetcher.Start(window.Get(), TRUE), 0);
    ExpectEmpty(fetcher);
    EXPECT_EQ(server->Hits(kNoticePath), 0);
    const std::vector<MSG> done = window.Wait(2000);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].wParam, 0u);
    EXPECT_EQ(done[0].lParam, reinterpret_cast<LPARAM>(&fetcher));
}

TEST_F(MotdFetch, NothingIsPostedWithoutAWindow)
{
    // Here the end is posted on the calling thread, where a null window would put it into
    // this thread's own queue.
    NoThreads noThreads;
    CMotdFetcher fetcher;
    fetcher.Start(nullptr, TRUE);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), WM_KAVO_REQUESTDONE, WM_KAVO_REQUESTDONE, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KAVO_REQUESTDONE, WM_KAVO_REQUESTDONE, PM_REMOVE));
}

}  // namespace
