// The monthly fee table: which lines are rows, how a load ends and whom it tells, and the two
// lookups over the tiers, with tables served by the local fake server.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "CFeeCalc.h"
#include "FakeServer.h"
#include "ThreadStart.h"

namespace {

const char kTablePath[] = "/define/monthly_fee_k.txt";

HANDLE FailingStarter(ThreadProc, void*, unsigned, unsigned*)
{
    return nullptr;
}

// A manual-reset event of a name of this process's own, and a name nobody has created.
class NamedEvent {
public:
    explicit NamedEvent(const char* tag)
        : m_name("kavo-fee-test-" + std::to_string(GetCurrentProcessId()) + "-" + tag),
          m_event(CreateEventA(nullptr, TRUE, FALSE, m_name.c_str()))
    {
    }
    ~NamedEvent() { CloseHandle(m_event); }
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    const char* Name() const { return m_name.c_str(); }
    bool IsSet() const { return WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0; }
    bool WaitSet(DWORD ms) const { return WaitForSingleObject(m_event, ms) == WAIT_OBJECT_0; }
    void Reset() { ResetEvent(m_event); }

    static std::string Unused(const char* tag)
    {
        return "kavo-fee-test-" + std::to_string(GetCurrentProcessId()) + "-none-" + tag;
    }

private:
    std::string m_name;
    HANDLE m_event;
};

TEST(FeeTableParse, AcceptsOnlyNumberCommaNumberRowsBesideCommentsAndEmptyLines)
{
    const struct {
        const char* text;
        FeeCalcReadyState state;
    } cases[] = {
        {"1,300\n3,200\n", FEECALC_READY},
        {"1,300\r\n3,200\r\n", FEECALC_READY},
        {"  1 , 300  \n\t3\t,\t200\t\n", FEECALC_READY},
        {"# tiers\n#\n\n\n1,300\n", FEECALC_READY},
        {"\r\n   \r\n", FEECALC_READY},
        {"", FEECALC_READY},
        {"1,300", FEECALC_READY},
        {"1;300\n", FEECALC_PARSE_ERROR},
        {"one,300\n", FEECALC_PARSE_ERROR},
        {"1,three hundred\n", FEECALC_PARSE_ERROR},
        {"1,300\n  # not a comment\n", FEECALC_PARSE_ERROR},
        {"1,300,5\n", FEECALC_PARSE_ERROR},
        {"1 300\n", FEECALC_PARSE_ERROR},
        {"-1,300\n", FEECALC_PARSE_ERROR},
        {"+1,300\n", FEECALC_PARSE_ERROR},
        {"1.5,300\n", FEECALC_PARSE_ERROR},
        {"1,\n", FEECALC_PARSE_ERROR},
        {",300\n", FEECALC_PARSE_ERROR},
        {"1,300円\n", FEECALC_PARSE_ERROR},
        {"１,300\n", FEECALC_PARSE_ERROR},
        {"1,300\nbad\n3,200\n", FEECALC_PARSE_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CFeeCalc table;
        EXPECT_EQ(table.Parse(c.text), c.state);
        // Parsing alone makes no table ready.
        EXPECT_EQ(table.GetReadyState(nullptr), FEECALC_NOT_LOADED);
        EXPECT_EQ(table.GetUnitFee(1), 0);
    }
}

class FeeTableLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr);
        ASSERT_TRUE(server->Reset());
        url = server->Url(kTablePath);
    }

    FakeServer* server = nullptr;
    std::string url;
};

TEST_F(FeeTableLoad, LookupsWalkTheTiersFromTheHighestThreshold)
{
    struct Lookup {
        int count;
        int unit;
        int total;
    };
    const struct {
        const char* file;
        std::vector<Lookup> lookups;
    } cases[] = {
        {"1,300\n3,200\n",
         {{1, 300, 300}, {2, 300, 600}, {3, 200, 800}, {5, 200, 1200}, {0, 0, 0}, {-2, 0, 0},
          {10000000, 200, 2000000200},
          // Far beyond any customer: the total stops at the largest int rather than wrap.
          {INT_MAX, 200, INT_MAX}}},
        {"# tiers\r\n 1 , 300 \r\n\r\n3,\t200\r\n", {{5, 200, 1200}}},
        {"1,300\n3,200\n6,100\n", {{7, 100, 2 * 100 + 3 * 200 + 2 * 300}}},
        // A tier from 0 counts the licence number 0 too.
        {"0,50\n2,10\n", {{0, 50, 50}, {3, 10, 2 * 10 + 2 * 50}}},
        // Thresholds the file lists downwards are walked in the reverse of the file order.
        {"3,200\n1,300\n", {{5, 300, 5 * 300}, {2, 300, 2 * 300}}},
        {"5,100\n", {{4, 0, 0}, {6, 100, 200}}},
        {"", {{3, 0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(server->Route(kTablePath, c.file));
        CFeeCalc table;
        ASSERT_EQ(table.StartLoad(url.c_str(), FALSE), FEECALC_READY);
        for (const Lookup& lookup : c.lookups) {
            EXPECT_EQ(table.GetUnitFee(lookup.count), lookup.unit) << lookup.count;
            EXPECT_EQ(table.GetTotalFee(lookup.count), lookup.total) << lookup.count;
        }
    }
}

TEST_F(FeeTableLoad, FailedLoadStaysFailedAndBothLookupsAnswerZero)
{
    const struct {
        const char* name;
        const char* file;
        const char* fault;  // "refused": nobody listens at the port
        FeeCalcReadyState state;
    } cases[] = {
        {"bad line after good rows", "1,300\n3,200\n5;100\n", nullptr, FEECALC_PARSE_ERROR},
        {"indented comment", "  # tiers\n1,300\n", nullptr, FEECALC_PARSE_ERROR},
        {"404", "1,300\n", "404", FEECALC_DOWNLOAD_FAILED},
        {"500", "1,300\n", "500", FEECALC_DOWNLOAD_FAILED},
        {"refused", "1,300\n", "refused", FEECALC_DOWNLOAD_FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->Route(kTablePath, c.file));
        std::string target = url;
        if (c.fault && std::string(c.fault) == "refused") {
            target = "http://127.0.0.1:" + std::to_string(server->ClosedPort()) + kTablePath;
        } else if (c.fault) {
            ASSERT_TRUE(server->Fail(kTablePath, c.fault));
        }
        CFeeCalc table;
        EXPECT_EQ(table.StartLoad(target.c_str(), FALSE), c.state);
        EXPECT_EQ(table.GetReadyState(nullptr), c.state);
        for (int count : {1, 2, 5}) {
            EXPECT_EQ(table.GetUnitFee(count), 0) << count;
            EXPECT_EQ(table.GetTotalFee(count), 0) << count;
        }
    }
}

TEST_F(FeeTableLoad, BadLineEndsTheParseWithTheRowsBeforeItKept)
{
    CFeeCalc table;
    ASSERT_EQ(table.Parse("1,300\nbad\n3,200\n"), FEECALC_PARSE_ERROR);
    // A load parses its body ahead of the rows already there, so a ready table shows them.
    ASSERT_TRUE(server->Route(kTablePath, "10,100\n"));
    ASSERT_EQ(table.StartLoad(url.c_str(), FALSE), FEECALC_READY);
    EXPECT_EQ(table.GetUnitFee(2), 300);
    EXPECT_EQ(table.GetUnitFee(4), 300);  // no row after the bad line
    EXPECT_EQ(table.GetUnitFee(10), 100);
    EXPECT_EQ(table.GetTotalFee(10), 100 + 9 * 300);
}

TEST_F(FeeTableLoad, LookupsAnswerZeroWhileLoadingAndNamedEventsAreSetAtTheEnd)
{
    // Long enough for the checks in between on a busy machine.
    ASSERT_TRUE(server->Route(kTablePath, "1,300\n3,200\n", 200, "{}", 1.5));
    NamedEvent before("before");
    NamedEvent during("during");
    CFeeCalc table;
    const std::string missing = NamedEvent::Unused("a");
    EXPECT_EQ(table.GetReadyState(before.Name()), FEECALC_NOT_LOADED);
    EXPECT_EQ(table.GetReadyState(missing.c_str()), FEECALC_NOT_LOADED);

    EXPECT_EQ(table.StartLoad(url.c_str(), TRUE), FEECALC_LOADING);
    EXPECT_EQ(table.GetReadyState(during.Name()), FEECALC_LOADING);
    EXPECT_EQ(table.GetUnitFee(1), 0);
    EXPECT_EQ(table.GetTotalFee(5), 0);
    EXPECT_FALSE(before.IsSet());

    ASSERT_TRUE(during.WaitSet(10000));
    EXPECT_TRUE(before.IsSet());
    EXPECT_EQ(table.GetReadyState(nullptr), FEECALC_READY);
    EXPECT_EQ(table.GetTotalFee(5), 1200);
    // A name whose event is created only after the end was never kept: nothing is set later.
    HANDLE late = CreateEventA(nullptr, TRUE, FALSE, missing.c_str());
    ASSERT_NE(late, nullptr);

    // The names were taken out at the end: a second load tells none of them again.
    before.Reset();
    during.Reset();
    EXPECT_EQ(table.StartLoad(url.c_str(), FALSE), FEECALC_READY);
    EXPECT_FALSE(before.IsSet());
    EXPECT_FALSE(during.IsSet());
    EXPECT_EQ(WaitForSingleObject(late, 0), DWORD(WAIT_TIMEOUT));
    CloseHandle(late);
}

TEST_F(FeeTableLoad, WorkerThatCannotStartEndsTheLoadAsFailedDownloadAndSetsTheEvents)
{
    ASSERT_TRUE(server->Route(kTablePath, "1,300\n"));
    NamedEvent waiter("nothread");
    CFeeCalc table;
    table.GetReadyState(waiter.Name());
    const ThreadStarter former = SetThreadStarter(FailingStarter);
    const FeeCalcReadyState async = table.StartLoad(url.c_str(), TRUE);
    SetThreadStarter(former);
    EXPECT_EQ(async, FEECALC_DOWNLOAD_FAILED);
    EXPECT_EQ(table.GetReadyState(nullptr), FEECALC_DOWNLOAD_FAILED);
    EXPECT_TRUE(waiter.IsSet());
    EXPECT_EQ(server->Hits(kTablePath), 0);
    EXPECT_EQ(table.GetUnitFee(1), 0);
}

TEST_F(FeeTableLoad, ProcessTableStartsOverAfterClear)
{
    ASSERT_TRUE(server->Route(kTablePath, "1,300\n3,200\n"));
    CFeeCalc& table = GetFeeCalc();
    EXPECT_EQ(&table, &GetFeeCalc());
    table.Clear();
    ASSERT_EQ(table.StartLoad(url.c_str(), FALSE), FEECALC_READY);
    EXPECT_EQ(table.GetTotalFee(5), 1200);
    table.Clear();
    EXPECT_EQ(table.GetReadyState(nullptr), FEECALC_NOT_LOADED);
    EXPECT_EQ(table.GetUnitFee(1), 0);
    // The rows went with the clear: a new table has only its own.
    ASSERT_TRUE(server->Route(kTablePath, "1,100\n"));
    ASSERT_EQ(table.StartLoad(url.c_str(), FALSE), FEECALC_READY);
    EXPECT_EQ(table.GetUnitFee(5), 100);
    EXPECT_EQ(table.GetTotalFee(5), 500);
    table.Clear();
}

}  // namespace
