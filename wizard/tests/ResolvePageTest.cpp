// Which page each page class shows in its place, and what it sets on the way: real pages on
// the page bench, the fake server as order system, content server and fee table.
#include "PageContentBench.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

#include "CFeeCalc.h"
#include "CKAVODlg.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "KavoMessages.h"
#include "PageFactory.h"
#include "pages/CCheckComputerDialog.h"
#include "pages/CEULADialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CExternalEULADialog.h"
#include "pages/CInstallDialog.h"
#include "pages/CInstallFailedDialog.h"
#include "pages/CLoginDialog.h"
#include "pages/CPostInstallDialog.h"
#include "pages/CPostUpgradeDialog.h"
#include "pages/CPreInstallDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CStartDialog.h"
#include "pages/CStatusDialog.h"
#include "pages/CUpgradeFailedDialog.h"

namespace {

const char kFeePath[] = "/resolve/fees.txt";
const char kOsDefPath[] = "/resolve/osdef.ini";
const char kConflictPath[] = "/resolve/conflicts.txt";
const char kOptionPath[] = "/resolve/option_enable.html";
const char kFeeTable[] = "1,300\n2,200\n";
const LONG kNoOption = -1;
const char* const kSkipSwitchesButCpu[] = {"TWEAK_SKIP_SRCHK_OS", "TWEAK_SKIP_SRCHK_IE", "TWEAK_SKIP_SRCHK_MEM",
                                           "TWEAK_SKIP_SRCHK_HDD"};

template <typename T>
CWBDialog* Make()
{
    return new T;
}

// What a page may answer: itself, no page, or a new page of exactly one class.
struct Answer {
    const char* name;
    bool (*matches)(const CWBDialog* page, const CWBDialog* answer);
};

template <typename T>
Answer NewPage(const char* name)
{
    return {name, [](const CWBDialog*, const CWBDialog* answer) { return answer && typeid(*answer) == typeid(T); }};
}

const Answer kItself = {"itself", [](const CWBDialog* page, const CWBDialog* answer) { return answer == page; }};
const Answer kNoPage = {"no page", [](const CWBDialog*, const CWBDialog* answer) { return answer == nullptr; }};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

class ResolvePageTest : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        UseTestDefinitions();
        GetSystemRequirements().RemoveAll();
        std::memset(m_block, 0, sizeof m_block);
    }

    void TearDown() override
    {
        PageActionBench::TearDown();
        GetSystemRequirements().RemoveAll();
    }

    // The built-in definition with every address of the flow on the fake server.
    void UseTestDefinitions()
    {
        ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
        PointAtFakeServer();
        CTextDef::SetText("COMMON_URI_FEETABLE", (std::string("&CURL;") + kFeePath).c_str());
        CTextDef::SetText("COMMON_URI_EXTDEF_OSDEF", (std::string("&CURL;") + kOsDefPath).c_str());
        CTextDef::SetText("COMMON_URI_CONFLICTIONCHKDATA", (std::string("&CURL;") + kConflictPath).c_str());
        CTextDef::SetText("COMMON_URL_OPTION_ENABLE", (std::string("&CURL;") + kOptionPath).c_str());
    }

    // A run that the launcher tool started: its block with these texts and option word.
    void StartedByLauncher(LONG option, const char* customerId = "C0001", const char* accessKey = "KEY0001")
    {
        std::memset(m_block, 0, sizeof m_block);
        std::strcpy(reinterpret_cast<char*>(m_block + LAUNCHER_CUSTOMER_ID_OFFSET), customerId);
        std::strcpy(reinterpret_cast<char*>(m_block + LAUNCHER_ACCESS_KEY_OFFSET), accessKey);
        std::memcpy(m_block + LAUNCHER_QUIET_OFFSET, &option, sizeof option);
        context.launcherParams = m_block;
        context.autoFlow = 1;
        // The host copies them from the block into the context.
        context.customer.VeldinCommonID = customerId;
        context.customer.AccessKey = accessKey;
    }

    void MakeFeeTableReady()
    {
        ASSERT_TRUE(Server().Route(kFeePath, kFeeTable));
        const std::string url = Server().Url(kFeePath);
        ASSERT_EQ(GetFeeCalc().StartLoad(url.c_str(), FALSE), FEECALC_READY);
    }

    // A contract in service whose every licence awaits installation, as the order system
    // lists it after a sign-in.
    void CustomerAwaitingInstallation()
    {
        COpsAgreement agreement;
        agreement.SecurityID = "SEC1";
        agreement.SecurityStatus = "2";
        context.response.agreements.Add(agreement);
        for (const char* id : {"SN1", "SN2"}) {
            COpsSerialInfo serial;
            serial.SerialID = id;
            serial.SerialStatus = 1;
            context.response.serials.Add(serial);
        }
        context.customer.BasicSerialCount = 2;
    }

    CWBDialog* Open(CWBDialog* page) { return CreatePageWindow(page, frame, &context); }

    // The answer must be what was expected; a new page must already be a window in the frame
    // that shares the context.
    void ExpectAnswer(const CWBDialog* page, const CWBDialog* answer, const Answer& expected)
    {
        EXPECT_TRUE(expected.matches(page, answer))
            << "expected " << expected.name << ", got "
            << (answer == page ? "itself" : answer ? typeid(*answer).name() : "no page");
        if (answer && answer != page) {
            ASSERT_NE(answer->m_hWnd, nullptr);
            EXPECT_EQ(::GetParent(answer->m_hWnd), frame);
            EXPECT_EQ(static_cast<const CKAVODlgBase*>(answer)->m_context, &context);
        }
    }

    // Both pages go, whatever the answer was.
    static void Drop(CWBDialog* page, CWBDialog* answer)
    {
        if (answer != page)
            DestroyPage(answer);
        DestroyPage(page);
    }

    static bool LogHasRequests() { return Server().Log().find("\"path\"") != std::string::npos; }

    BYTE m_block[LAUNCHER_BLOCK_SIZE];
};

TEST_F(ResolvePageTest, PagesOutsideTheAutomaticFlowShowThemselvesAndUseNoNetwork)
{
    MakeFeeTableReady();
    ASSERT_TRUE(Server().Reset());
    // Everything that would let the pages skip themselves, except the flag.
    StartedByLauncher(0);
    context.autoFlow = 0;
    context.SetValue("AN08_ORDER", "インストール");
    CustomerAwaitingInstallation();
    const struct {
        const char* name;
        CWBDialog* (*make)();
    } pages[] = {
        {"CLoginDialog", Make<CLoginDialog>},
        {"CStatusDialog", Make<CStatusDialog>},
        {"CCheckComputerDialog", Make<CCheckComputerDialog>},
        {"CPreInstallDialog", Make<CPreInstallDialog>},
        {"CExternalEULADialog", Make<CExternalEULADialog>},
        {"CPostInstallDialog", Make<CPostInstallDialog>},
        {"CPostUpgradeDialog", Make<CPostUpgradeDialog>},
        {"CInstallFailedDialog", Make<CInstallFailedDialog>},
        {"CUpgradeFailedDialog", Make<CUpgradeFailedDialog>},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.name);
        CWBDialog* page = Open(p.make());
        ASSERT_NE(page, nullptr);
        CWBDialog* answer = page->ResolvePage(frame, &context);
        ExpectAnswer(page, answer, kItself);
        Drop(page, answer);
    }
    // A fire-and-forget request would arrive a little later.
    ::Sleep(500);
    EXPECT_FALSE(LogHasRequests()) << Server().Log();
    EXPECT_EQ(context.requirementResults[REQ_OS], 7) << "the requirement check ran";
    EXPECT_EQ(context.cleanupFlags, 0u);
    EXPECT_TRUE(context.GetValue("AN08_AUTOINSTALL_EXECUTED").IsEmpty());
    EXPECT_TRUE(context.GetValue("CLoginDialog::InitialState").IsEmpty());
    EXPECT_TRUE(context.GetValue("OPTIONAL_FUNCTION").IsEmpty());
}

// The pages whose answer follows from the context alone (the check page with the check
// switched off).
TEST_F(ResolvePageTest, EachPageAnswersByTheFlowItsOrderAndTheLauncherOption)
{
    ASSERT_TRUE(Server().Route(kOptionPath, "<p>counted</p>"));
    CTextDef::SetText("TWEAK_SKIP_SRCHK", "");
    enum Launcher { NoBlock, Block };
    const struct {
        const char* page;
        CWBDialog* (*make)();
        bool automatic;
        Launcher launcher;
        LONG option;
        const char* order;
        Answer expected;
        DWORD cleanupFlags;
        const char* optionalFunction;
    } cases[] = {
        {"CCheckComputerDialog", Make<CCheckComputerDialog>, true, Block, kNoOption, "新規契約",
         NewPage<CEULADialog>("CEULADialog"), CLEANUP_DOWNLOAD_TMP, ""},
        {"CCheckComputerDialog", Make<CCheckComputerDialog>, true, Block, kNoOption, "追加契約",
         NewPage<CEULADialog>("CEULADialog"), CLEANUP_DOWNLOAD_TMP, ""},
        {"CCheckComputerDialog", Make<CCheckComputerDialog>, true, Block, kNoOption, "インストール",
         NewPage<CRegClientDialog>("CRegClientDialog"), CLEANUP_DOWNLOAD_TMP, ""},
        {"CCheckComputerDialog", Make<CCheckComputerDialog>, true, NoBlock, 0, "再インストール",
         NewPage<CRegClientDialog>("CRegClientDialog"), CLEANUP_DOWNLOAD_TMP, ""},
        {"CCheckComputerDialog", Make<CCheckComputerDialog>, true, Block, 0, "追加/変更", kItself,
         CLEANUP_DOWNLOAD_TMP, ""},
        {"CCheckComputerDialog", Make<CCheckComputerDialog>, true, Block, 0, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CCheckComputerDialog", Make<CCheckComputerDialog>, false, Block, 0, "新規契約", kItself,
         CLEANUP_DOWNLOAD_TMP, ""},

        {"CPreInstallDialog", Make<CPreInstallDialog>, true, Block, 0, "",
         NewPage<CExternalEULADialog>("CExternalEULADialog"), CLEANUP_DOWNLOAD_TMP, ""},
        {"CPreInstallDialog", Make<CPreInstallDialog>, true, Block, 0x0fff, "",
         NewPage<CExternalEULADialog>("CExternalEULADialog"), CLEANUP_DOWNLOAD_TMP, ""},
        {"CPreInstallDialog", Make<CPreInstallDialog>, true, Block, kNoOption, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CPreInstallDialog", Make<CPreInstallDialog>, true, Block, 0x1000, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CPreInstallDialog", Make<CPreInstallDialog>, true, Block, 0x8000, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CPreInstallDialog", Make<CPreInstallDialog>, true, NoBlock, 0, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CPreInstallDialog", Make<CPreInstallDialog>, false, Block, 0, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},

        {"CExternalEULADialog", Make<CExternalEULADialog>, true, Block, 0, "",
         NewPage<CInstallDialog>("CInstallDialog"), CLEANUP_DOWNLOAD_TMP, "ENABLE"},
        {"CExternalEULADialog", Make<CExternalEULADialog>, true, Block, kNoOption, "", kItself,
         CLEANUP_DOWNLOAD_TMP, ""},
        {"CExternalEULADialog", Make<CExternalEULADialog>, true, Block, 0x1000, "", kItself, CLEANUP_DOWNLOAD_TMP,
         ""},
        {"CExternalEULADialog", Make<CExternalEULADialog>, true, NoBlock, 0, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CExternalEULADialog", Make<CExternalEULADialog>, false, Block, 0, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},

        {"CPostInstallDialog", Make<CPostInstallDialog>, true, Block, 0, "", kNoPage, CLEANUP_ALL, ""},
        {"CPostInstallDialog", Make<CPostInstallDialog>, true, Block, 0x1000, "", kNoPage, CLEANUP_ALL, ""},
        {"CPostInstallDialog", Make<CPostInstallDialog>, true, Block, kNoOption, "", kItself, CLEANUP_DOWNLOAD_TMP,
         ""},
        {"CPostInstallDialog", Make<CPostInstallDialog>, true, NoBlock, 0, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CPostInstallDialog", Make<CPostInstallDialog>, false, Block, 0, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CPostUpgradeDialog", Make<CPostUpgradeDialog>, true, Block, 0x1000, "", kNoPage, CLEANUP_ALL, ""},
        {"CPostUpgradeDialog", Make<CPostUpgradeDialog>, true, Block, kNoOption, "", kItself, CLEANUP_DOWNLOAD_TMP,
         ""},

        {"CInstallFailedDialog", Make<CInstallFailedDialog>, true, Block, 0, "", kNoPage, CLEANUP_DOWNLOAD_TMP, ""},
        {"CInstallFailedDialog", Make<CInstallFailedDialog>, true, Block, 0x1000, "", kNoPage, CLEANUP_DOWNLOAD_TMP,
         ""},
        {"CInstallFailedDialog", Make<CInstallFailedDialog>, true, Block, kNoOption, "", kItself,
         CLEANUP_DOWNLOAD_TMP, ""},
        {"CInstallFailedDialog", Make<CInstallFailedDialog>, true, NoBlock, 0, "", kItself, CLEANUP_DOWNLOAD_TMP,
         ""},
        {"CInstallFailedDialog", Make<CInstallFailedDialog>, false, Block, 0, "", kItself, CLEANUP_DOWNLOAD_TMP, ""},
        {"CUpgradeFailedDialog", Make<CUpgradeFailedDialog>, true, Block, 0x1000, "", kNoPage, CLEANUP_DOWNLOAD_TMP,
         ""},
        {"CUpgradeFailedDialog", Make<CUpgradeFailedDialog>, true, Block, kNoOption, "", kItself,
         CLEANUP_DOWNLOAD_TMP, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.page) + (c.automatic ? " automatic" : " not automatic") +
                     (c.launcher == Block ? " option " + std::to_string(c.option) : " no launcher block") +
                     " order \"" + c.order + "\"");
        StartedByLauncher(c.option);
        if (c.launcher == NoBlock)
            context.launcherParams = nullptr;
        context.autoFlow = c.automatic;
        context.values.RemoveAll();
        context.SetValue("AN08_ORDER", c.order);
        context.cleanupFlags = CLEANUP_DOWNLOAD_TMP;
        CWBDialog* page = Open(c.make());
        ASSERT_NE(page, nullptr);
        CWBDialog* answer = page->ResolvePage(frame, &context);
        ExpectAnswer(page, answer, c.expected);
        EXPECT_EQ(context.cleanupFlags, c.cleanupFlags);
        EXPECT_EQ(context.GetValue("OPTIONAL_FUNCTION"), c.optionalFunction);
        Drop(page, answer);
    }
    // The switch leaves the check out altogether.
    EXPECT_EQ(Server().Hits(kOsDefPath), 0);
    EXPECT_EQ(context.requirementResults[REQ_CPU], 7);
}

TEST_F(ResolvePageTest, AcceptedOptionIsCountedWithTheOperatorOnTheWayToTheInstallation)
{
    ASSERT_TRUE(Server().Route(kOptionPath, "<p>counted</p>"));
    StartedByLauncher(0);
    CWBDialog* page = Open(new CExternalEULADialog);
    ASSERT_NE(page, nullptr);
    CWBDialog* answer = page->ResolvePage(frame, &context);
    ExpectAnswer(page, answer, NewPage<CInstallDialog>("CInstallDialog"));
    for (int i = 0; i < 200 && Server().Hits(kOptionPath) == 0; ++i)
        ::Sleep(50);
    EXPECT_EQ(Server().Hits(kOptionPath), 1);
    EXPECT_EQ(Server().Last(kOptionPath, "method"), "GET");
    Drop(page, answer);
}

TEST_F(ResolvePageTest, AutomaticCheckPageStaysOnAnyShortfallAndMovesOnWhenEverythingIsMet)
{
    const struct {
        const char* name;
        const char* osDefinition;  // null: the definition cannot be fetched
        bool skipCpu;
        Answer expected;
        LONG cpuResult;
    } cases[] = {
        {"every item met", "[CPU]\nSTANDARD=1\n", true, NewPage<CRegClientDialog>("CRegClientDialog"), 2},
        {"a warning", "[CPU]\nSTANDARD=0,2000000000\n", false, kItself, 1},
        {"an error", "[CPU]\nSTANDARD=2000000000\n", false, kItself, 0},
        {"no definition to check against", nullptr, true, kItself, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UseTestDefinitions();
        GetSystemRequirements().RemoveAll();
        ASSERT_TRUE(Server().Reset());
        ASSERT_TRUE(Server().Route(kConflictPath, ""));
        if (c.osDefinition) {
            ASSERT_TRUE(Server().Route(kOsDefPath, c.osDefinition));
        }
        // Every other item passes whatever this PC is.
        for (const char* key : kSkipSwitchesButCpu)
            CTextDef::SetText(key, "");
        if (c.skipCpu)
            CTextDef::SetText("TWEAK_SKIP_SRCHK_CPU", "");
        StartedByLauncher(kNoOption);
        context.SetValue("AN08_ORDER", "インストール");
        for (LONG& result : context.requirementResults)
            result = 7;
        CWBDialog* page = Open(new CCheckComputerDialog);
        ASSERT_NE(page, nullptr);
        ::SetCursor(::LoadCursorA(nullptr, IDC_CROSS));
        CWBDialog* answer = page->ResolvePage(frame, &context);
        ExpectAnswer(page, answer, c.expected);
        EXPECT_EQ(Server().Hits(kOsDefPath), 1);
        EXPECT_EQ(context.requirementResults[REQ_CPU], c.cpuResult);
        EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_ARROW));
        Drop(page, answer);
    }
}

TEST_F(ResolvePageTest, StatusPageNeedsAReadyFeeTableAndLoadsItOnlyOnce)
{
    const struct {
        const char* name;
        const char* table;  // null: the download fails
        Answer expected;
        const char* errorCode;
    } cases[] = {
        {"a table that parses", kFeeTable, kItself, ""},
        {"a line that does not parse", "1,300\n2;200\n", NewPage<CErrorDialog>("CErrorDialog"), "EXG4001"},
        {"a download that fails", nullptr, NewPage<CErrorDialog>("CErrorDialog"), "EXG4001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GetFeeCalc().Clear();
        ASSERT_TRUE(Server().Reset());
        const bool served = c.table ? Server().Route(kFeePath, c.table) : Server().Fail(kFeePath, "404", 0);
        ASSERT_TRUE(served);
        context.errorCode.Empty();
        // Asked twice: the second hand-over finds the table as the first one left it.
        for (int pass = 0; pass < 2; ++pass) {
            SCOPED_TRACE(pass);
            CWBDialog* page = Open(new CStatusDialog);
            ASSERT_NE(page, nullptr);
            CWBDialog* answer = page->ResolvePage(frame, &context);
            ExpectAnswer(page, answer, c.expected);
            EXPECT_EQ(context.errorCode, c.errorCode);
            Drop(page, answer);
        }
        EXPECT_EQ(Server().Hits(kFeePath), 1);
    }
}

TEST_F(ResolvePageTest, StatusPageGivesWayToTheErrorPageWhileTheFeeTableIsStillLoading)
{
    // Long enough that the page is asked well before the answer comes.
    ASSERT_TRUE(Server().Route(kFeePath, kFeeTable, 200, "{}", 6));
    const std::string url = Server().Url(kFeePath);
    ASSERT_EQ(GetFeeCalc().StartLoad(url.c_str(), TRUE), FEECALC_LOADING);
    CWBDialog* page = Open(new CStatusDialog);
    ASSERT_NE(page, nullptr);
    CWBDialog* answer = page->ResolvePage(frame, &context);
    ExpectAnswer(page, answer, NewPage<CErrorDialog>("CErrorDialog"));
    EXPECT_EQ(context.errorCode, "EXG4001");
    Drop(page, answer);
    WaitWhileFeeTableLoads();
}

TEST_F(ResolvePageTest, AutomaticInstallationStartsOnlyForAContractWhoseEveryLicenceAwaitsIt)
{
    MakeFeeTableReady();
    const struct {
        const char* name;
        bool automatic;
        const char* executedBefore;
        const char* securityStatus;  // null: no contract
        LONG basicSerialCount;
        std::vector<int> serialStates;
        bool starts;
        const char* executedAfter;
    } cases[] = {
        {"every licence awaits installation", true, "", "2", 2, {1, 1}, true, "TRUE"},
        {"one licence is installed already", true, "", "2", 2, {1, 4}, false, "TRUE"},
        {"one licence is not listed", true, "", "2", 3, {1, 1}, false, "TRUE"},
        {"the contract is not in service yet", true, "", "1", 2, {1, 1}, false, "TRUE"},
        {"no contract", true, "", nullptr, 2, {1, 1}, false, "TRUE"},
        {"no licence at all", true, "", "2", 0, {}, false, "TRUE"},
        {"it ran before in this flow", true, "TRUE", "2", 2, {1, 1}, false, "TRUE"},
        {"not automatic", false, "", "2", 2, {1, 1}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartedByLauncher(kNoOption);
        context.autoFlow = c.automatic;
        context.ClearFlowData();
        context.SetValue("AN08_AUTOINSTALL_EXECUTED", c.executedBefore);
        context.SetValue("AN08_ORDER", "追加契約");
        if (c.securityStatus) {
            COpsAgreement agreement;
            agreement.SecurityStatus = c.securityStatus;
            context.response.agreements.Add(agreement);
        }
        for (size_t i = 0; i < c.serialStates.size(); ++i) {
            COpsSerialInfo serial;
            serial.SerialID = ("SN" + std::to_string(i + 1)).c_str();
            serial.SerialStatus = c.serialStates[i];
            context.response.serials.Add(serial);
        }
        context.customer.BasicSerialCount = c.basicSerialCount;
        context.customer.SerialID = "chosen before";
        context.customer.NickName = "nick";
        context.customer.SecurityID = "SEC0";
        context.customer.MailAddressSN = "sn@example.invalid";

        CWBDialog* page = Open(new CStatusDialog);
        ASSERT_NE(page, nullptr);
        // Set after the page's own step marking.
        context.phase = kStartPhase;
        CWBDialog* answer = page->ResolvePage(frame, &context);
        EXPECT_EQ(context.GetValue("AN08_AUTOINSTALL_EXECUTED"), c.executedAfter);
        if (c.starts) {
            ExpectAnswer(page, answer, NewPage<CCheckComputerDialog>("CCheckComputerDialog"));
            EXPECT_EQ(context.customer.SerialID, "SN1");
            EXPECT_TRUE(context.customer.NickName.IsEmpty());
            EXPECT_TRUE(context.customer.SecurityID.IsEmpty());
            EXPECT_TRUE(context.customer.MailAddressSN.IsEmpty());
            EXPECT_EQ(context.GetValue("AN08_ORDER"), "インストール");
            // The check page marks its own step when it is created.
            EXPECT_EQ(Lower(context.phase.GetString()), "lpcif");
        } else {
            ExpectAnswer(page, answer, kItself);
            EXPECT_EQ(context.customer.SerialID, "chosen before");
            EXPECT_EQ(context.customer.NickName, "nick");
            EXPECT_EQ(context.GetValue("AN08_ORDER"), "追加契約");
            EXPECT_EQ(context.phase, kStartPhase);
        }
        Drop(page, answer);
    }
}

TEST_F(ResolvePageTest, AutomaticSignInAnswersByTheResultOfTheOrderSystem)
{
    MakeFeeTableReady();
    const struct {
        const char* name;
        const char* customerId;
        const char* accessKey;
        bool launcherBlock;
        const char* script1001;  // members of a scripted answer; null: the model answers
        const char* script1002;
        const char* earlierResult;
        Answer expected;
        const char* initialState;
        const char* errorCode;
        const char* requests;
    } cases[] = {
        {"signed in and reported", "C0001", "KEY0001", true, nullptr, nullptr, "", NewPage<CStatusDialog>("CStatusDialog"),
         "", "", "1001,1002"},
        {"signed in, the report's refresh fails", "C0001", "KEY0001", true, nullptr, "\"result\": \"0005\"", "",
         NewPage<CErrorDialog>("CErrorDialog"), "", "", "1001,1002"},
        {"signed in, the report's refresh gets no answer", "C0001", "KEY0001", true, nullptr, "\"status\": 500", "",
         NewPage<CErrorDialog>("CErrorDialog"), "", "EXG0000", "1001,1002"},
        {"credentials refused (9991)", "C0001", "KEY0001", true, "\"result\": \"9991\"", nullptr, "", kItself,
         "ERROR", "", "1001"},
        {"credentials refused (0002)", "C0001", "WRONGKEY", true, nullptr, nullptr, "", kItself, "ERROR", "", "1001"},
        {"any other result", "C0001", "KEY0001", true, "\"result\": \"0005\"", nullptr, "",
         NewPage<CErrorDialog>("CErrorDialog"), "", "", "1001"},
        {"no answer, an earlier one succeeded", "C0001", "KEY0001", true, "\"status\": 500", nullptr, "0000",
         NewPage<CErrorDialog>("CErrorDialog"), "", "EXG0000", "1001"},
        {"no access key in the block", "C0001", "", true, nullptr, nullptr, "", kItself, "", "", ""},
        {"no customer id in the block", "", "KEY0001", true, nullptr, nullptr, "", kItself, "", "", ""},
        {"no launcher block", "C0001", "KEY0001", false, nullptr, nullptr, "", kItself, "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Server().Reset());
        if (c.script1001) {
            ASSERT_TRUE(Server().OrdersScript("1001", c.script1001));
        }
        if (c.script1002) {
            ASSERT_TRUE(Server().OrdersScript("1002", c.script1002));
        }
        StartedByLauncher(kNoOption, c.customerId, c.accessKey);
        if (!c.launcherBlock)
            context.launcherParams = nullptr;
        context.values.RemoveAll();
        context.errorCode.Empty();
        context.response.ResultCode = c.earlierResult;
        CWBDialog* page = Open(new CLoginDialog);
        ASSERT_NE(page, nullptr);
        CWBDialog* answer = page->ResolvePage(frame, &context);
        ExpectAnswer(page, answer, c.expected);
        EXPECT_EQ(context.GetValue("CLoginDialog::InitialState"), c.initialState);
        EXPECT_EQ(context.errorCode, c.errorCode);
        EXPECT_EQ(Server().OrdersIds(), c.requests);
        if (*c.requests) {
            EXPECT_EQ(Server().OrdersField("VeldinCommonID", 0), c.customerId);
            EXPECT_EQ(Server().OrdersField("AccessKey", 0), c.accessKey);
        }
        Drop(page, answer);
    }
}

// Sign-in, status page, check page, registration page in one hand-over; then the status
// page once more in the same flow, which now stays.
TEST_F(ResolvePageTest, AutomaticFlowRunsFromTheSignInToTheRegistrationPageAndInstallsOnce)
{
    ASSERT_TRUE(Server().Route(kFeePath, kFeeTable));
    ASSERT_TRUE(Server().OrdersModel(
        "\"BasicSerialCount\": 1, "
        "\"agreements\": [{\"SecurityID\": \"SEC1\", \"AgreementID\": \"AG1\", \"SecurityStatus\": \"2\"}], "
        "\"serials\": [{\"SerialID\": \"SN0001\", \"SerialStatus\": 1, \"NickName\": \"pc\"}]"));
    CTextDef::SetText("TWEAK_SKIP_SRCHK", "");
    StartedByLauncher(0x1000);

    CWBDialog* start = Open(new CStartDialog);
    ASSERT_NE(start, nullptr);
    CWBDialog* login = Open(new CLoginDialog);
    ASSERT_NE(login, nullptr);
    static_cast<CKAVODlgBase*>(start)->GoToPage(login, 0);
    CWBDialog* shown = nullptr;
    ASSERT_TRUE(TakePageSentToFrame(&shown));
    ASSERT_TRUE(NewPage<CRegClientDialog>("").matches(nullptr, shown))
        << (shown ? typeid(*shown).name() : "no page");
    EXPECT_EQ(Server().OrdersIds(), "1001,1002");
    EXPECT_EQ(Server().Hits(kFeePath), 1);
    EXPECT_EQ(context.customer.SerialID, "SN0001");
    EXPECT_EQ(context.GetValue("AN08_ORDER"), "インストール");
    EXPECT_EQ(context.GetValue("AN08_AUTOINSTALL_EXECUTED"), "TRUE");

    CWBDialog* status = Open(new CStatusDialog);
    ASSERT_NE(status, nullptr);
    static_cast<CKAVODlgBase*>(shown)->GoToPage(status, 0);
    CWBDialog* shownNext = nullptr;
    ASSERT_TRUE(TakePageSentToFrame(&shownNext));
    EXPECT_EQ(shownNext, status);
    EXPECT_EQ(context.customer.SerialID, "SN0001");
}

}  // namespace
