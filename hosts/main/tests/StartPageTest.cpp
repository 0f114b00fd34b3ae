#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CPageContext.h"
#include "PageNames.h"
#include "StartPage.h"

namespace {

struct ChoiceCase {
    const char* id;
    StartPageChoice::Kind kind;
    const char* name;
    LONG autoFlow;
};

class StartPageTable : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(StartPageTable, IdChoosesItsPage)
{
    const ChoiceCase& c = GetParam();
    const StartPageChoice choice = ChooseStartPage(c.id);
    EXPECT_EQ(choice.kind, c.kind);
    EXPECT_EQ(std::string(choice.name ? choice.name : ""), std::string(c.name ? c.name : ""));
    EXPECT_EQ(choice.autoFlow, c.autoFlow);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartPageTable, ::testing::Values(
    ChoiceCase{nullptr, StartPageChoice::FirewallCheck, nullptr, 1},
    ChoiceCase{"FIREWALL_CHECK", StartPageChoice::FirewallCheck, nullptr, 1},
    ChoiceCase{"RESTART", StartPageChoice::UpdatePage, nullptr, 1},
    ChoiceCase{"A_N04", StartPageChoice::UpdatePage, nullptr, 0},
    ChoiceCase{"EXG3001", StartPageChoice::FirewallFoundPage, nullptr, 0},
    ChoiceCase{"EXG6001", StartPageChoice::ErrorPage, "EXG6001", -1},
    ChoiceCase{"EPN0260", StartPageChoice::ErrorPage, "EPN0260", -1},
    ChoiceCase{"A_N07", StartPageChoice::CorePage, "CLoginDialog", 0},
    ChoiceCase{"A_N08_2", StartPageChoice::CorePage, "CModifyStatusDialog", 0},
    ChoiceCase{"B_N03", StartPageChoice::CorePage, "CCheckComputerDialog", 0},
    ChoiceCase{"D_E05", StartPageChoice::CorePage, "CUpgradeFailedDialog", 0},
    ChoiceCase{"COMPLETE_INSTALLATION", StartPageChoice::CorePage, "COMPLETE_INSTALLATION", 1},
    ChoiceCase{"SKIP_PREAMBLE", StartPageChoice::CorePage, "NORMAL_SEQUENCE", 1},
    ChoiceCase{"EWS0001", StartPageChoice::CorePage, "EWS0001", 0},
    ChoiceCase{"EXG1003T", StartPageChoice::CorePage, "EXG1003T", 0},
    ChoiceCase{"ews0001", StartPageChoice::NoPage, nullptr, -1},
    ChoiceCase{"A-N08-2", StartPageChoice::NoPage, nullptr, -1},
    ChoiceCase{"a_n07", StartPageChoice::NoPage, nullptr, -1},
    ChoiceCase{"XYZ", StartPageChoice::NoPage, nullptr, -1},
    ChoiceCase{"", StartPageChoice::NoPage, nullptr, -1}));

// No id of the program's own pages or sequences may hide a core library page, and no two
// pages may claim the same id.
TEST(StartPageList, EveryStartIdOfTheCoreLibrarysPagesChoosesItsOwnPage)
{
    std::vector<std::string> seen;
    for (const PageName& page : kPageNames) {
        for (const char* id : page.startIds) {
            if (!id)
                continue;
            SCOPED_TRACE(id);
            EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0);
            seen.push_back(id);
            const StartPageChoice choice = ChooseStartPage(id);
            EXPECT_EQ(choice.kind, StartPageChoice::CorePage);
            EXPECT_STREQ(choice.name, page.className);
            EXPECT_EQ(choice.autoFlow, 0);
        }
    }
    EXPECT_FALSE(seen.empty());
}

// Hands out numbered fake pages and records what it was asked.
class RecordingSource : public IStartPageSource {
public:
    CWBDialog* CreateCorePage(const char* name, HWND, CPageContext*) override
    {
        calls.push_back(std::string("core:") + name);
        return Page(1);
    }
    CWBDialog* CreateHostPage(StartPageChoice::Kind kind, HWND, CPageContext* context) override
    {
        calls.push_back("host:" + std::to_string(kind) + ":" + context->errorCode.GetString());
        return Page(1);
    }
    CWBDialog* RunFirewallCheck(HWND, CPageContext*) override
    {
        calls.push_back("firewall");
        return Page(1);
    }
    CWBDialog* ResolvePage(CWBDialog* page, HWND, CPageContext* context) override
    {
        const int number = Number(page);
        calls.push_back("resolve:" + std::to_string(number));
        if (number == stopAt) {
            if (endFlowAtStop)
                context->autoFlow = 0;
            return endFlowAtStop ? Page(number + 1) : page;
        }
        return number == vanishAt ? nullptr : Page(number + 1);
    }
    void DestroyPage(CWBDialog* page) override { calls.push_back("destroy:" + std::to_string(Number(page))); }

    static CWBDialog* Page(int number) { return reinterpret_cast<CWBDialog*>(static_cast<INT_PTR>(number)); }
    static int Number(CWBDialog* page) { return int(reinterpret_cast<INT_PTR>(page)); }

    std::vector<std::string> calls;
    int stopAt = 3;
    int vanishAt = 0;
    bool endFlowAtStop = false;
};

TEST(StartPageDispatch, ChainFollowsCandidatesAndDestroysPassedOverPages)
{
    RecordingSource source;
    CPageContext context;
    CWBDialog* page = BuildStartPage("SKIP_PREAMBLE", source, nullptr, context);
    EXPECT_EQ(RecordingSource::Number(page), 3);
    EXPECT_EQ(context.autoFlow, 1);
    const std::vector<std::string> expected = {"core:NORMAL_SEQUENCE", "resolve:1", "destroy:1", "resolve:2",
                                               "destroy:2", "resolve:3"};
    EXPECT_EQ(source.calls, expected);
}

TEST(StartPageDispatch, PageThatEndsTheFlowStopsTheChain)
{
    RecordingSource source;
    source.stopAt = 1;
    source.endFlowAtStop = true;
    CPageContext context;
    CWBDialog* page = BuildStartPage(nullptr, source, nullptr, context);
    // autoFlow is read before every pass: the candidate is taken, then the chain stops.
    EXPECT_EQ(RecordingSource::Number(page), 2);
    const std::vector<std::string> expected = {"firewall", "resolve:1", "destroy:1"};
    EXPECT_EQ(source.calls, expected);
}

TEST(StartPageDispatch, NullCandidateEndsWithNoPage)
{
    RecordingSource source;
    source.vanishAt = 1;
    CPageContext context;
    EXPECT_EQ(BuildStartPage("COMPLETE_UPGRADE", source, nullptr, context), nullptr);
}

TEST(StartPageDispatch, PagesOpenedByNameAreNotChained)
{
    RecordingSource source;
    CPageContext context;
    EXPECT_EQ(RecordingSource::Number(BuildStartPage("A_N08", source, nullptr, context)), 1);
    EXPECT_EQ(context.autoFlow, 0);
    EXPECT_EQ(source.calls, std::vector<std::string>{"core:CStatusDialog"});
}

TEST(StartPageDispatch, ErrorPagesCarryTheirCodeAndKeepTheFlow)
{
    RecordingSource source;
    source.stopAt = 1;
    CPageContext context;
    BuildStartPage("EPN0260", source, nullptr, context);
    EXPECT_EQ(context.errorCode, "EPN0260");
    EXPECT_EQ(context.autoFlow, 1);
    const std::vector<std::string> expected = {"host:4:EPN0260", "resolve:1"};
    EXPECT_EQ(source.calls, expected);
}

TEST(StartPageDispatch, UnknownIdAsksForNothing)
{
    RecordingSource source;
    CPageContext context;
    EXPECT_EQ(BuildStartPage("XYZ", source, nullptr, context), nullptr);
    EXPECT_TRUE(source.calls.empty());
}

}  // namespace
