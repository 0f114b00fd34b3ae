// The requirement results page, where its results lead, and what the shortfall pages and the
// pre-upgrade page do, on the page bench with the fake server as definition and list source.
#include "PageContentBench.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

#include "../../core/tests/FakeMachine.h"
#include "CKAVODlg.h"
#include "CRegKey.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "RequirementRouting.h"
#include "pages/CCheckComputerDialog.h"
#include "pages/CEULADialog.h"
#include "pages/CLoginDialog.h"
#include "pages/CPreUpgradeDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CShortAppDialog.h"
#include "pages/CShortDialog.h"
#include "pages/CShortHDDDialog.h"
#include "pages/CUpgradeEULADialog.h"
#include "pages/CUpgradeShortAppDialog.h"
#include "pages/CUpgradeShortDialog.h"
#include "pages/CUpgradeShortHDDDialog.h"

namespace {

const char kOsDefPath[] = "/check/osdef.ini";
const char kConflictPath[] = "/check/conflicts.txt";
const char kEveryItemMet[] = "[CPU]\nSTANDARD=1\n";
const char* const kSkipSwitchesButCpu[] = {"TWEAK_SKIP_SRCHK_OS", "TWEAK_SKIP_SRCHK_IE", "TWEAK_SKIP_SRCHK_MEM",
                                           "TWEAK_SKIP_SRCHK_HDD"};
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kTestAutorunName[] = "KavoCheckPagesTestAutorun";

// The results as the pages read them, written in the order of the routing rules.
struct Results {
    LONG os, ie, hdd, cpu, mem, app;
};

void Store(CPageContext& context, const Results& r)
{
    context.requirementResults[REQ_OS] = r.os;
    context.requirementResults[REQ_IE] = r.ie;
    context.requirementResults[REQ_HDD] = r.hdd;
    context.requirementResults[REQ_CPU] = r.cpu;
    context.requirementResults[REQ_MEM] = r.mem;
    context.requirementResults[REQ_APP] = r.app;
}

const Results kAllMet = {2, 2, 2, 2, 2, 2};

template <typename T>
std::string Name()
{
    return typeid(T).name();
}

int g_removalOpenings = 0;
std::vector<std::string> g_startedCommandLines;

void CountOpening()
{
    ++g_removalOpenings;
}

BOOL RecordStart(char* commandLine)
{
    g_startedCommandLines.push_back(commandLine);
    return TRUE;
}

std::string HostPath()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class CheckAndShortfallPages : public PageActionBench {
protected:
    void SetUp() override
    {
        PageActionBench::SetUp();
        GetSystemRequirements().RemoveAll();
        CTextDef::SetText("COMMON_URI_EXTDEF_OSDEF", (std::string("&CURL;") + kOsDefPath).c_str());
        CTextDef::SetText("COMMON_URI_CONFLICTIONCHKDATA", (std::string("&CURL;") + kConflictPath).c_str());
        ASSERT_TRUE(Server().Route(kConflictPath, ""));
        g_removalOpenings = 0;
        g_startedCommandLines.clear();
        m_formerOpener = CShortAppDialog::SetProgramsAndFeaturesOpener(CountOpening);
        m_formerStarter = CShortAppDialog::SetConnectionToolStarter(RecordStart);
    }

    void TearDown() override
    {
        PageContentBench::TearDown();
        CShortAppDialog::SetProgramsAndFeaturesOpener(m_formerOpener);
        CShortAppDialog::SetConnectionToolStarter(m_formerStarter);
        GetSystemRequirements().RemoveAll();
    }

    // Every item but the processor passes whatever the machine; the processor by cpuDefinition.
    void CheckOnlyTheProcessor(const char* cpuDefinition)
    {
        ASSERT_TRUE(Server().Route(kOsDefPath, cpuDefinition));
        for (const char* key : kSkipSwitchesButCpu)
            CTextDef::SetText(key, "");
    }

    static void Notify(const CWBDialog* page, WPARAM command)
    {
        ::SendMessageA(page->m_hWnd, WM_KAVO_PAGE, command, 0);
    }

    // The class of the page handed to the frame ("" when none was), which is then destroyed.
    std::string HandedOver()
    {
        CWBDialog* next = nullptr;
        if (!TakePageSentToFrame(&next))
            return "";
        const std::string name = ClassOf(next);
        if (next)
            DestroyPage(next);
        return name;
    }

private:
    ProgramsAndFeaturesOpener m_formerOpener = nullptr;
    ConnectionToolStarter m_formerStarter = nullptr;
};

TEST_F(CheckAndShortfallPages, ResultsLeadToTheFirstUnwaivedShortfallPageOfEachFlow)
{
    enum Page { Passes, Short, Disk, Software };
    struct Case {
        const char* name;
        Results results;
        const char* waiver;  // a definition key present for the case, or null
        Page page;
        const char* code;
    };
    const Case kCases[] = {
        {"all met", kAllMet, nullptr, Passes, ""},
        {"OS warning", {1, 2, 2, 2, 2, 2}, nullptr, Short, "EXG0001"},
        {"OS not met", {0, 2, 2, 2, 2, 2}, nullptr, Short, "EXG0001"},
        {"browser warning", {2, 1, 2, 2, 2, 2}, nullptr, Short, "EXG0002"},
        {"disk not met", {2, 2, 0, 2, 2, 2}, nullptr, Short, "EXG0003"},
        {"disk warning", {2, 2, 1, 2, 2, 2}, nullptr, Disk, "EXG0003"},
        {"processor not met", {2, 2, 2, 0, 2, 2}, nullptr, Short, "EXG0004"},
        {"processor warning", {2, 2, 2, 1, 2, 2}, nullptr, Short, "EXG0004"},
        {"memory not met", {2, 2, 2, 2, 0, 2}, nullptr, Short, "EXG0005"},
        {"memory warning", {2, 2, 2, 2, 1, 2}, nullptr, Short, "EXG0005"},
        {"software found", {2, 2, 2, 2, 2, 0}, nullptr, Software, "EXG0006"},
        // Errors come before warnings whatever the item.
        {"disk warning and software found", {2, 2, 1, 2, 2, 0}, nullptr, Software, "EXG0006"},
        {"processor warning and memory not met", {2, 2, 2, 1, 0, 2}, nullptr, Short, "EXG0005"},
        {"OS and browser not met", {0, 0, 2, 2, 2, 2}, nullptr, Short, "EXG0001"},
        {"all zero", {0, 0, 0, 0, 0, 0}, nullptr, Short, "EXG0001"},
        // A waiver lets its item pass and the next shortfall decide.
        {"OS waived", {0, 0, 2, 2, 2, 2}, "TWEAK_IGNORE_SRCHK_OS_ERR", Short, "EXG0002"},
        {"browser waived", {2, 0, 2, 2, 2, 2}, "TWEAK_IGNORE_SRCHK_IE_ERR", Passes, ""},
        {"disk waived, not met", {2, 2, 0, 2, 2, 2}, "TWEAK_IGNORE_SRCHK_HDD_ERR", Passes, ""},
        {"disk waived, warning", {2, 2, 1, 2, 2, 2}, "TWEAK_IGNORE_SRCHK_HDD_ERR", Passes, ""},
        {"processor waived", {2, 2, 2, 0, 1, 2}, "TWEAK_IGNORE_SRCHK_CPU_ERR", Short, "EXG0005"},
        {"processor warning waived", {2, 2, 2, 1, 2, 2}, "TWEAK_IGNORE_SRCHK_CPU_ERR", Passes, ""},
        {"memory waived", {2, 2, 2, 2, 0, 2}, "TWEAK_IGNORE_SRCHK_MEM_ERR", Passes, ""},
        {"memory warning waived", {2, 2, 2, 2, 1, 2}, "TWEAK_IGNORE_SRCHK_MEM_ERR", Passes, ""},
        {"software waived", {2, 2, 1, 2, 2, 0}, "TWEAK_IGNORE_SRCHK_APP_ERR", Disk, "EXG0003"},
        {"every error ignored", {0, 0, 0, 0, 0, 0}, "TWEAK_IGNORE_SRCHK_ERR", Passes, ""},
        {"a foreign key waives nothing", {2, 2, 2, 2, 0, 2}, "TWEAK_IGNORE_SRCHK_CPU", Short, "EXG0005"},
    };
    const std::string kNormal[] = {"", Name<CShortDialog>(), Name<CShortHDDDialog>(), Name<CShortAppDialog>()};
    const std::string kUpgrade[] = {"", Name<CUpgradeShortDialog>(), Name<CUpgradeShortHDDDialog>(),
                                    Name<CUpgradeShortAppDialog>()};
    for (const Case& c : kCases) {
        for (RequirementFlow flow : {REQ_FLOW_NORMAL, REQ_FLOW_UPGRADE}) {
            SCOPED_TRACE(std::string(c.name) + (flow == REQ_FLOW_NORMAL ? " (normal)" : " (upgrade)"));
            LoadBuiltInText();
            if (c.waiver)
                CTextDef::SetText(c.waiver, "");
            Store(context, c.results);
            context.errorCode = "before";
            CWBDialog* next = reinterpret_cast<CWBDialog*>(1);
            const bool passed = RouteRequirementResults(frame, &context, flow, &next);
            EXPECT_EQ(passed, c.page == Passes);
            EXPECT_EQ(ClassOf(next), c.page == Passes ? "no page" : (flow == REQ_FLOW_NORMAL ? kNormal : kUpgrade)[c.page]);
            EXPECT_EQ(std::string(context.errorCode), c.page == Passes ? "before" : c.code);
            if (next)
                DestroyPage(next);
        }
    }
}

TEST_F(CheckAndShortfallPages, PassedCheckGoesOnByTheOrderFromTheCheckPageAndTheShortfallPages)
{
    enum From { CheckPage, ShortPage, DiskPage };
    struct Case {
        From from;
        Results results;
        const char* order;
        std::string expected;  // "" when nothing happens
    };
    const Results kProcessorWarning = {2, 2, 2, 1, 2, 2};
    const Results kDiskWarning = {2, 2, 1, 2, 2, 2};
    const Case kCases[] = {
        {CheckPage, kAllMet, "新規契約", Name<CEULADialog>()},
        {CheckPage, kAllMet, "追加契約", Name<CEULADialog>()},
        {CheckPage, kAllMet, "インストール", Name<CRegClientDialog>()},
        {CheckPage, kAllMet, "再インストール", Name<CRegClientDialog>()},
        {CheckPage, kAllMet, "追加/変更", ""},
        {CheckPage, kAllMet, "", ""},
        {ShortPage, kProcessorWarning, "新規契約", Name<CEULADialog>()},
        {ShortPage, kProcessorWarning, "再インストール", Name<CRegClientDialog>()},
        {ShortPage, kProcessorWarning, "解約", ""},
        {DiskPage, kDiskWarning, "追加契約", Name<CEULADialog>()},
        {DiskPage, kDiskWarning, "インストール", Name<CRegClientDialog>()},
        {DiskPage, kDiskWarning, "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.from) + " " + c.order);
        Store(context, c.results);
        context.SetValue("AN08_ORDER", c.order);
        CWBDialog* page = nullptr;
        if (c.from == CheckPage) {
            page = Open(new CCheckComputerDialog);
            ASSERT_NE(page, nullptr);
            // The second button becomes the next button without a check.
            Notify(page, 1);
        } else if (c.from == ShortPage) {
            page = Open(new CShortDialog);
        } else {
            page = Open(new CShortHDDDialog);
        }
        ASSERT_NE(page, nullptr);
        const HWND window = page->m_hWnd;
        ASSERT_TRUE(ItemShown(page, IDC_NEXT));
        Click(page, IDC_NEXT);
        EXPECT_EQ(HandedOver(), c.expected);
        if (c.expected.empty()) {
            EXPECT_TRUE(::IsWindow(window)) << "a page that goes nowhere stays";
            DestroyPage(page);
        } else {
            EXPECT_FALSE(::IsWindow(window));
        }
    }
}

TEST_F(CheckAndShortfallPages, CheckPageNextShowsTheShortfallWithItsCode)
{
    Store(context, {2, 2, 1, 2, 2, 2});
    context.SetValue("AN08_ORDER", "インストール");
    CWBDialog* page = Open(new CCheckComputerDialog);
    ASSERT_NE(page, nullptr);
    Notify(page, 1);
    Click(page, IDC_NEXT);
    EXPECT_EQ(HandedOver(), Name<CShortHDDDialog>());
    EXPECT_EQ(std::string(context.errorCode), "EXG0003");
}

TEST_F(CheckAndShortfallPages, ProcessorTextLosesBreaksTradeMarksAndDoubleBlanks)
{
    const struct {
        const char* name;
        DWORD mhz;
        const char* text;
    } kCases[] = {
        {"Intel(R) Core(TM) i7 CPU 920 @ 2.67GHz", 2666, "Intel Core i7 920 @ 2.67GHz (2666MHz)"},
        {"  AMD Athlon(tm) 64 X2 Dual Core Processor 4200+", 2200, "AMD Athlon 64 X2 Dual Core Processor 4200+ (2200MHz)"},
        {"Genuine\r\nIntel(r)\tCPU   T2300", 1662, "Genuine Intel T2300 (1662MHz)"},
        // The blank before the clock counts; lower case stays.
        {"Pentium CPU", 0, "Pentium (0MHz)"},
        {"cpu X", 800, "cpu X (800MHz)"},
        {"", 0, "(0MHz)"},
    };
    for (const auto& c : kCases)
        EXPECT_STREQ(CCheckComputerDialog::FormatProcessorText(c.name, c.mhz), c.text) << c.name;
}

TEST_F(CheckAndShortfallPages, ResultsShowTheProbedMachineAndTurnStartIntoNext)
{
    FakeMachine machine;
    machine.servicePackMajor = 2;
    machine.drives['C'].freeMb = 2560;
    machine.totalPhysical = DWORDLONG(512) << 20;
    machine.SetString("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "ProcessorNameString",
                      "Intel(R)  Xeon(R) CPU  E5");
    machine.SetDword("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "~MHz", 3000);
    machine.SetString("SOFTWARE\\Microsoft\\Internet Explorer", "svcVersion", "11.0.9600.1");
    CheckOnlyTheProcessor(kEveryItemMet);
    CTextDef::SetText("TWEAK_SKIP_SRCHK_CPU", "");
    CTextDef::SetText("B_N03_IDC_NEXT", "next &CURL;");
    ASSERT_TRUE(Server().Route(kConflictPath, "Present\r\n"));

    CCheckComputerDialog* page = Open(new CCheckComputerDialog(machine.Table()));
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(ItemEnabled(page, IDC_START));
    EXPECT_FALSE(ItemShown(page, IDC_STATIC14));
    Notify(page, PAGECMD_START);

    const std::string os = ItemText(page, IDC_STATIC3);
    EXPECT_NE(os.find("SP2"), std::string::npos) << os;
    EXPECT_EQ(os.find("Service Pack"), std::string::npos) << os;
    EXPECT_EQ(ItemText(page, IDC_STATIC5), "11.0.9600.1");
    EXPECT_EQ(ItemText(page, IDC_STATIC7), "2.5GB");
    EXPECT_EQ(ItemText(page, IDC_STATIC9), "Intel Xeon E5 (3000MHz)");
    EXPECT_EQ(ItemText(page, IDC_STATIC11), "512MB");
    EXPECT_EQ(ItemText(page, IDC_STATIC13), CTextDef::GetText("B_N03_IDC_STATIC13_1").GetString());
    EXPECT_TRUE(ItemShown(page, IDC_STATIC14));
    // The start button itself now answers as the next button, with the expanded text.
    EXPECT_EQ(::GetDlgItem(page->m_hWnd, IDC_START), nullptr);
    EXPECT_TRUE(ItemEnabled(page, IDC_NEXT));
    EXPECT_TRUE(ItemShown(page, IDC_NEXT));
    EXPECT_EQ(ItemText(page, IDC_NEXT), "next " + Server().BaseUrl());
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(page->m_hWnd, IDC_NEXT));
    DestroyPage(page);

    // Software found by the list the check fetched names the other text.
    context.conflictLists.displayNames.Add(CString("Present"));
    page = Open(new CCheckComputerDialog);
    ASSERT_NE(page, nullptr);
    Click(page, IDC_START);
    EXPECT_EQ(ItemText(page, IDC_STATIC13), CTextDef::GetText("B_N03_IDC_STATIC13_2").GetString());
    DestroyPage(page);
}

TEST_F(CheckAndShortfallPages, PageStartedDirectlyRunsTheCheckItsResultsNeed)
{
    // As a wizard started at this page finds them: nothing has set the results.
    Store(context, {0, 0, 0, 0, 0, 0});
    CheckOnlyTheProcessor(kEveryItemMet);
    CTextDef::SetText("TWEAK_SKIP_SRCHK_CPU", "");
    context.SetValue("AN08_ORDER", "インストール");
    // A serial to install, so the registration page that follows has one.
    COpsSerialInfo serial;
    serial.SerialID = "SN000201";
    serial.SerialStatus = 1;
    context.response.serials.Add(serial);
    CWBDialog* page = Open(new CCheckComputerDialog);
    ASSERT_NE(page, nullptr);
    Notify(page, PAGECMD_START);
    EXPECT_EQ(Server().Hits(kOsDefPath), 1);
    EXPECT_EQ(context.requirementResults[REQ_OS], REQ_RESULT_MET);
    Click(page, IDC_NEXT);
    EXPECT_EQ(HandedOver(), Name<CRegClientDialog>());
    EXPECT_EQ(std::string(context.errorCode), "");
}

TEST_F(CheckAndShortfallPages, CheckThatRanBeforeThePageShowedIsNotRunAgain)
{
    CheckOnlyTheProcessor("[CPU]\nSTANDARD=0,2000000000\n");
    context.autoFlow = 1;
    context.SetValue("AN08_ORDER", "インストール");
    CWBDialog* page = Open(new CCheckComputerDialog);
    ASSERT_NE(page, nullptr);
    // The warning keeps the page.
    ASSERT_EQ(page->ResolvePage(frame, &context), page);
    ASSERT_EQ(Server().Hits(kOsDefPath), 1);
    GetSystemRequirements().RemoveAll();
    Notify(page, PAGECMD_START);
    EXPECT_EQ(Server().Hits(kOsDefPath), 1);
    EXPECT_EQ(context.requirementResults[REQ_CPU], REQ_RESULT_WARNING);
    DestroyPage(page);
}

TEST_F(CheckAndShortfallPages, ShortPageOffersOnlyClosingForAnErrorAndNextForWarnings)
{
    CTextDef::SetText("ERR_EXG0004", "err &ErrorCode;");
    CTextDef::SetText("WARN_EXG0004", "warn &ErrorCode;");
    CTextDef::SetText("ERR_EXG0005", "");
    CTextDef::SetText("WARN_EXG0005", "");
    CTextDef::SetText("B_E02_2_IDC_STATIC2", "error fallback &ErrorCode;");
    CTextDef::SetText("B_E02_2_IDC_STATIC2_2", "warning fallback &ErrorCode;");
    struct Case {
        const char* name;
        Results results;
        const char* code;
        bool error;
        const char* text;
    };
    const Case kCases[] = {
        {"processor error", {2, 2, 2, 0, 2, 2}, "EXG0004", true, "err EXG0004"},
        {"processor warning", {2, 2, 2, 1, 2, 2}, "EXG0004", false, "warn EXG0004"},
        {"memory error, no text", {2, 2, 2, 2, 0, 2}, "EXG0005", true, "error fallback EXG0005"},
        {"memory warning, no text", {2, 2, 2, 2, 1, 2}, "EXG0005", false, "warning fallback EXG0005"},
        // Any result 0 makes the page an error page, whichever code routed here.
        {"software missing too", {2, 2, 2, 1, 2, 0}, "EXG0004", true, "err EXG0004"},
    };
    CWBDialog* reference = Open(new CShortDialog);
    ASSERT_NE(reference, nullptr);
    const RECT next = ItemRect(reference, IDC_NEXT);
    const RECT close = ItemRect(reference, ID_PAGE_CLOSE);
    DestroyPage(reference);
    RECT band;
    ::UnionRect(&band, &next, &close);
    const LONG centredLeft = band.left + (band.right - band.left - (next.right - next.left)) / 2;

    for (const Case& c : kCases) {
        for (bool upgrade : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (upgrade ? " (upgrade)" : ""));
            Store(context, c.results);
            context.errorCode = c.code;
            CWBDialog* page = upgrade ? Open(new CUpgradeShortDialog) : Open(new CShortDialog);
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(ItemText(page, IDC_STATIC2), c.text);
            EXPECT_EQ(ItemShown(page, IDC_NEXT), !c.error);
            const RECT moved = ItemRect(page, ID_PAGE_CLOSE);
            EXPECT_EQ(moved.left, c.error ? centredLeft : close.left);
            EXPECT_EQ(moved.right - moved.left, close.right - close.left) << "the size is kept";
            if (c.error) {
                EXPECT_EQ(::GetFocus(), ::GetDlgItem(page->m_hWnd, ID_PAGE_CLOSE));
            }
            EXPECT_EQ(ItemShown(page, IDC_STEPBAR), !upgrade);
            DestroyPage(page);
        }
    }
}

TEST_F(CheckAndShortfallPages, UpgradeShortfallPagesGoOnToTheUpgradeLicenceTerms)
{
    Store(context, {2, 2, 1, 1, 2, 2});
    context.SetValue("AN08_ORDER", "インストール");
    for (bool disk : {false, true}) {
        SCOPED_TRACE(disk ? "disk page" : "short page");
        CWBDialog* page = disk ? static_cast<CWBDialog*>(Open(new CUpgradeShortHDDDialog))
                                : static_cast<CWBDialog*>(Open(new CUpgradeShortDialog));
        ASSERT_NE(page, nullptr);
        EXPECT_FALSE(ItemShown(page, IDC_STEPBAR));
        Click(page, IDC_NEXT);
        EXPECT_EQ(HandedOver(), Name<CUpgradeEULADialog>());
    }
}

TEST_F(CheckAndShortfallPages, RemovalButtonOpensProgramsAndFeaturesOnceASecond)
{
    for (bool upgrade : {false, true}) {
        SCOPED_TRACE(upgrade ? "upgrade" : "normal");
        g_removalOpenings = 0;
        CWBDialog* page = upgrade ? Open(new CUpgradeShortAppDialog) : Open(new CShortAppDialog);
        ASSERT_NE(page, nullptr);
        Click(page, IDC_DEL);
        Click(page, IDC_DEL);
        EXPECT_EQ(g_removalOpenings, 1);
        ::Sleep(1100);
        Click(page, IDC_DEL);
        EXPECT_EQ(g_removalOpenings, 2);
        // A hidden button does nothing.
        ::ShowWindow(::GetDlgItem(page->m_hWnd, IDC_DEL), SW_HIDE);
        ::Sleep(1100);
        Click(page, IDC_DEL);
        EXPECT_EQ(g_removalOpenings, 2);
        DestroyPage(page);
    }
}

TEST_F(CheckAndShortfallPages, SoftwarePagesStartTheConnectionToolKillerQuotedBesideTheHost)
{
    for (bool upgrade : {false, true}) {
        SCOPED_TRACE(upgrade ? "upgrade" : "normal");
        g_startedCommandLines.clear();
        CWBDialog* page = upgrade ? Open(new CUpgradeShortAppDialog) : Open(new CShortAppDialog);
        ASSERT_NE(page, nullptr);
        std::string expected = HostPath();
        expected = "\"" + expected.substr(0, expected.rfind('\\')) + "\\veldin_dialupkill.exe\"";
        ASSERT_EQ(g_startedCommandLines.size(), 1u);
        EXPECT_EQ(g_startedCommandLines[0], expected);
        EXPECT_EQ(ItemShown(page, IDC_STEPBAR), !upgrade);
        DestroyPage(page);
    }
    const struct {
        const char* host;
        const char* commandLine;
    } kCases[] = {
        {"C:\\Program Files\\KAVO Setup\\KAVO.exe", "\"C:\\Program Files\\KAVO Setup\\veldin_dialupkill.exe\""},
        {"C:\\KAVO\\KAVO.exe", "\"C:\\KAVO\\veldin_dialupkill.exe\""},
        {"", ""},
    };
    for (const auto& c : kCases)
        EXPECT_STREQ(ConnectionToolKillerCommandLine(c.host), c.commandLine) << c.host;
}

TEST_F(CheckAndShortfallPages, ShutdownOnTheSoftwarePageAsksForARestartOutsideRunMode2)
{
    CTextDef::SetText("COMMON_NAME_AUTORUN", kTestAutorunName);
    context.phase = "LPcsif";
    for (LONG mode : {0L, 1L, 2L}) {
        SCOPED_TRACE(mode);
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kRunOnceKey, KEY_READ | KEY_SET_VALUE), ERROR_SUCCESS);
        key.DeleteValue(kTestAutorunName);
        context.runMode = mode;
        CWBDialog* page = Open(new CShortAppDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(::SendMessageA(page->m_hWnd, WM_QUERYENDSESSION, 0, 0), TRUE);
        CString value;
        const LONG read = key.QueryStringValue(kTestAutorunName, value);
        if (mode == 2) {
            EXPECT_EQ(read, ERROR_FILE_NOT_FOUND);
        } else {
            ASSERT_EQ(read, ERROR_SUCCESS);
            const std::string command = value.GetString();
            // The page's step bar has marked its step in the phase by then.
            const std::string args = std::string(" --restart -i ") + context.phase.GetString();
            ASSERT_GT(command.size(), args.size());
            EXPECT_EQ(command.substr(command.size() - args.size()), args);
        }
        key.DeleteValue(kTestAutorunName);
        DestroyPage(page);
    }
}

TEST_F(CheckAndShortfallPages, UpgradeButtonChecksAndStopsAtTheUpgradeShortfall)
{
    CheckOnlyTheProcessor("[CPU]\nSTANDARD=2000000000\n");
    CWBDialog* page = Open(new CPreUpgradeDialog);
    ASSERT_NE(page, nullptr);
    ::SetCursor(::LoadCursorA(nullptr, IDC_CROSS));
    Click(page, IDC_UPGRADE);
    EXPECT_EQ(Server().Hits(kOsDefPath), 1);
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(HandedOver(), Name<CUpgradeShortDialog>());
    EXPECT_EQ(std::string(context.errorCode), "EXG0004");
}

TEST_F(CheckAndShortfallPages, UpgradeWithTheCheckSkippedTakesTheLauncherSignInAndGoesOn)
{
    CTextDef::SetText("TWEAK_SKIP_SRCHK", "");
    BYTE block[LAUNCHER_BLOCK_SIZE] = {};
    std::memcpy(block + LAUNCHER_CUSTOMER_ID_OFFSET, "C0042", 5);
    std::memcpy(block + LAUNCHER_ACCESS_KEY_OFFSET, "KEY0042", 7);
    context.launcherParams = block;
    Store(context, {0, 0, 0, 0, 0, 0});
    CWBDialog* page = Open(new CPreUpgradeDialog);
    ASSERT_NE(page, nullptr);
    Click(page, IDC_UPGRADE);
    EXPECT_EQ(Server().Hits(kOsDefPath), 0);
    EXPECT_EQ(std::string(context.customer.VeldinCommonID), "C0042");
    EXPECT_EQ(std::string(context.customer.AccessKey), "KEY0042");
    EXPECT_EQ(Server().OrdersIds(), "1002");
    EXPECT_EQ(HandedOver(), Name<CUpgradeEULADialog>());
    context.launcherParams = nullptr;
}

TEST_F(CheckAndShortfallPages, PreUpgradeCancelReturnsToTheSignIn)
{
    CWBDialog* page = Open(new CPreUpgradeDialog);
    ASSERT_NE(page, nullptr);
    Click(page, IDCANCEL);
    EXPECT_EQ(HandedOver(), Name<CLoginDialog>());
}

}  // namespace
