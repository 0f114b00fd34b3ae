#include "PageBench.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

#include "CExtDef.h"
#include "CFeeCalc.h"
#include "CRegKey.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "CoreExports.h"
#include "ExternalDefinitions.h"
#include "LoginParams.h"
#include "NormalSequence.h"
#include "pages/CCheckComputerDialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CLoginDialog.h"
#include "pages/CMotdDialog.h"
#include "pages/CPreUpgradeDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CStatusDialog.h"

namespace {

const char kJudge[] = "/sequence/judge.html";
const char kOsDef[] = "/sequence/define/osdef.ini";
const char kNotice[] = "/sequence/notice.txt";
const char kFees[] = "/sequence/fees.txt";
const char kConflicts[] = "/sequence/avlist.html";
const char* const kFileKeys[] = {"COMMON_URI_EXTDEF_SECDEF", "COMMON_URI_EXTDEF_SECVERSION", "COMMON_URI_EXTDEF_OEMLIST",
                                 "COMMON_URI_EXTDEF_CONTENTSDEF", "COMMON_URI_EXTDEF_SYSTEM"};

std::string DefinitionFile(int index)
{
    return "/sequence/define/file" + std::to_string(index) + ".ini";
}

std::string Text(const char* key)
{
    return CTextDef::GetText(key).GetString();
}

// What the sequence returned, destroyed at the end of the test whatever it was.
class ResultPage {
public:
    explicit ResultPage(CWBDialog* page) : m_page(page) {}
    ~ResultPage()
    {
        if (m_page)
            DestroyPage(m_page);
    }
    ResultPage(const ResultPage&) = delete;
    ResultPage& operator=(const ResultPage&) = delete;

    CWBDialog* get() const { return m_page; }
    template <typename Page>
    bool Is() const
    {
        return m_page && typeid(*m_page) == typeid(Page);
    }
    const std::type_info& Type() const { return m_page ? typeid(*m_page) : typeid(void); }
    std::string Name() const { return m_page ? typeid(*m_page).name() : "no page"; }

private:
    CWBDialog* m_page;
};

// The built-in text pointed at routes of this test on the shared server: a domain judgement
// naming the server, five definition files, an OS definition, a notice without a status, a
// fee table, an empty conflict list; the registry keys are the test's own.
class NormalSequenceTest : public PageBench {
protected:
    void SetUp() override
    {
        PageBench::SetUp();
        server = &Server();
        Configure();
    }

    // Also between the cases of a table: the built-in text again, the server's routes, empty
    // stores.
    void Configure()
    {
        ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
        ASSERT_TRUE(server->Reset());
        GetExtDef().Clear();
        GetSystemRequirements().RemoveAll();
        GetFeeCalc().Clear();
        // As the host hands it over; the domain judgement confirms it.
        CTextDef::SetDomainUrl(server->BaseUrl().c_str());
        CTextDef::SetText("COMMON_INITCONF_URL", server->BaseUrl().c_str());
        CTextDef::SetText("COMMON_URI_DOMAIN_JUDGE", (std::string("&CURL;") + kJudge).c_str());
        for (int i = 0; i < 5; ++i)
            CTextDef::SetText(kFileKeys[i], ("&CURL;" + DefinitionFile(i)).c_str());
        CTextDef::SetText("COMMON_URI_EXTDEF_OSDEF", (std::string("&CURL;") + kOsDef).c_str());
        CTextDef::SetText("COMMON_URI_MOTD", (std::string("&CURL;") + kNotice).c_str());
        CTextDef::SetText("COMMON_URI_FEETABLE", (std::string("&CURL;") + kFees).c_str());
        CTextDef::SetText("COMMON_URI_CONFLICTIONCHKDATA", (std::string("&CURL;") + kConflicts).c_str());
        CTextDef::SetText("COMMON_URI_OPS", server->Url(FakeServer::OrdersPath()).c_str());
        CTextDef::SetText("COMMON_URL_START_MNUE", "");
        CTextDef::SetText("COMMON_REG_HKLM_KAVO", ("HKEY_CURRENT_USER\\" + m_regRoot + "\\machine").c_str());
        CTextDef::SetText("COMMON_REG_HKCU_KAVO", ("HKEY_CURRENT_USER\\" + m_regRoot + "\\user").c_str());
        ASSERT_TRUE(server->Route(kJudge, "[DomainSwitch]\r\nDomain=" + server->BaseUrl() + "\r\n"));
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(server->Route(DefinitionFile(i), "; file " + std::to_string(i) + "\r\n"));
        // Names no system this machine runs; every other check falls short unless skipped.
        ASSERT_TRUE(server->Route(kOsDef, "[SystemNames]\r\nnone=NoSuchSystem\r\n[OS]\r\nNoSuchSystem\r\n"
                                          "[CPU]\r\nSTANDARD=999999\r\n[MEM]\r\nSTANDARD=99999999\r\n"
                                          "[HDD]\r\nSTANDARD=99999999,99999999\r\n[IE]\r\nSTANDARD=9999\r\n"));
        ASSERT_TRUE(server->Route(kNotice, "\r\n"));
        ASSERT_TRUE(server->Route(kFees, "1, 300\r\n3, 200\r\n"));
        ASSERT_TRUE(server->Route(kConflicts, "\r\n"));
        context.runMode = RUNMODE_NORMAL;
        context.values.RemoveAll();
        context.errorCode.Empty();
        context.phase = kStartPhase;
        for (LONG& result : context.requirementResults)
            result = 7;
    }

    void TearDown() override
    {
        PageBench::TearDown();
        GetExtDef().Clear();
        GetSystemRequirements().RemoveAll();
        GetFeeCalc().Clear();
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
        RegDeleteTreeA(HKEY_CURRENT_USER, m_regRoot.c_str());
    }

    // The cache key, as the companion program finds it.
    std::string CachePath() const { return m_regRoot + "\\user\\cached extdef"; }

    bool HasValue(const char* key) const
    {
        CString value;
        return context.values.Lookup(key, value);
    }
    std::string Value(const char* key) const { return context.GetValue(key).GetString(); }

    // The customer the order system knows, with one agreement and one serial in the states given.
    void SetCustomer(const char* agreementStatus, int serialStatus)
    {
        ASSERT_TRUE(server->OrdersModel(
            std::string("\"agreements\": [{\"SecurityID\": \"S0001\", \"AgreementID\": \"A0001\", \"SecurityStatus\": \"") +
            agreementStatus + "\", \"DateServiceStart\": \"20260101\"}], \"serials\": [{\"SerialID\": \"SN000101\", "
                              "\"NickName\": \"pc\", \"SerialStatus\": " +
            std::to_string(serialStatus) + "}]"));
    }

    void SignInAtOnceAs(const char* customerId, const char* accessKey)
    {
        context.runMode = RUNMODE_OSA2;
        context.customer.VeldinCommonID = customerId;
        context.customer.AccessKey = accessKey;
    }

    FakeServer* server = nullptr;

private:
    std::string m_regRoot = "Software\\KavoSequenceTest-" + std::to_string(GetCurrentProcessId());
};

TEST_F(NormalSequenceTest, MissingDefinitionsGiveTheErrorPageAndNothingElseHappens)
{
    struct Case {
        const char* what;
        std::string path;
    };
    const Case cases[] = {
        {"domain judgement", kJudge},
        {"third definition file", DefinitionFile(2)},
        {"OS definition", kOsDef},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(server->Fail(c.path, "404", 0));
        GetExtDef().Clear();
        GetSystemRequirements().RemoveAll();
        CTextDef::SetDomainUrl("");
        context.errorCode.Empty();
        ResultPage page(RunNormalSequence(&context));
        EXPECT_TRUE(page.Is<CErrorDialog>()) << page.Name();
        EXPECT_STREQ(context.errorCode, "EXG8001");
        EXPECT_EQ(page.get()->m_hWnd, nullptr);
        EXPECT_EQ(server->Hits(kNotice), 0);
        CRegKey cache;
        EXPECT_NE(cache.Open(HKEY_CURRENT_USER, CachePath().c_str(), KEY_READ), ERROR_SUCCESS);
        Configure();
    }
}

TEST_F(NormalSequenceTest, DefinitionValuesAreCachedForTheCompanionProgram)
{
    ASSERT_TRUE(server->Route(DefinitionFile(1), "[InstallationControl]\r\nOEMPID=KAVO1\r\nVersion=2.0\r\n"
                                                 "WindowTitle=\x83\x5a\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76\r\n"
                                                 "[InstallationInformation]\r\nDlpkOutputPath=C:\\temp\\dlpk\r\n"));
    ResultPage page(RunNormalSequence(&context));
    EXPECT_TRUE(page.Is<CLoginDialog>()) << page.Name();
    EXPECT_STREQ(context.cleanupFolder, "C:\\temp\\dlpk");

    CRegKey cache;
    ASSERT_EQ(cache.Open(HKEY_CURRENT_USER, CachePath().c_str(), KEY_READ), ERROR_SUCCESS);
    struct Stored {
        const char* name;
        const char* value;
    };
    // A key that no file set is cached as an empty text.
    const Stored stored[] = {
        {"COMMON_CT_PRODUCTID", "KAVO1"},
        {"COMMON_CT_PRODUCTVERSION", "2.0"},
        {"COMMON_WINDOW_TITLE", "\x83\x5a\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76"},
        {"COMMON_DLPK_OUTPUT_PATH", "C:\\temp\\dlpk"},
        {"COMMON_SETUP_EXE_FILE_NAME", ""},
        {"COMMON_CMD_XGINSTALL", ""},
    };
    for (const Stored& s : stored) {
        SCOPED_TRACE(s.name);
        DWORD type = 0;
        DWORD size = 0;
        ASSERT_EQ(RegQueryValueExA(cache, s.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, DWORD(REG_SZ));
        EXPECT_EQ(size, DWORD(std::string(s.value).size() + 1)) << "the terminating NUL is stored";
        CString value;
        ASSERT_EQ(cache.QueryStringValue(s.name, value), ERROR_SUCCESS);
        EXPECT_STREQ(value, s.value);
    }
    cache.Close();

    // The companion program's overlay reads the same values back.
    CTextDef::SetText("COMMON_CT_PRODUCTID", "other");
    CTextDef::SetText("COMMON_DLPK_OUTPUT_PATH", "other");
    OverlayCachedValues();
    EXPECT_EQ(Text("COMMON_CT_PRODUCTID"), "KAVO1");
    EXPECT_EQ(Text("COMMON_DLPK_OUTPUT_PATH"), "C:\\temp\\dlpk");
}

TEST_F(NormalSequenceTest, CacheNamesAreSplitAtLineBreaksAndCommas)
{
    CTextDef::SetText("COMMON_DATA_CACHED_EXTDEF_PROPERTIES", "\r\nSEQ_A,SEQ_B\r\n,,\r\n\r\nSEQ_C");
    CTextDef::SetText("SEQ_A", "a");
    CTextDef::SetText("SEQ_B", "b");
    ResultPage page(RunNormalSequence(&context));
    CRegKey cache;
    ASSERT_EQ(cache.Open(HKEY_CURRENT_USER, CachePath().c_str(), KEY_READ), ERROR_SUCCESS);
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumValueA(cache, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"SEQ_A", "SEQ_B", "SEQ_C"}));
    CString value;
    ASSERT_EQ(cache.QueryStringValue("SEQ_B", value), ERROR_SUCCESS);
    EXPECT_STREQ(value, "b");
}

TEST_F(NormalSequenceTest, CacheThatCannotBeCreatedIsLeftAloneAndTheRunGoesOn)
{
    CTextDef::SetText("COMMON_REG_HKCU_KAVO", "NOROOT\\Software\\Kavo");
    ResultPage page(RunNormalSequence(&context));
    EXPECT_TRUE(page.Is<CLoginDialog>()) << page.Name();
}

// A path that does not fit the 260-byte field is refused whole: cut, it would name another
// folder, which the clean-up would then delete with everything in it.
TEST_F(NormalSequenceTest, CleanupFolderLongerThanTheFieldIsRefusedAndLogged)
{
    char logFolder[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, logFolder), 0u);
    const std::string logName = "kavo-sequence-" + std::to_string(GetCurrentProcessId()) + ".log";
    const std::string logPath = std::string(logFolder) + logName;
    DeleteFileA(logPath.c_str());
    context.traceLog.SetLogFile(std::string(logFolder).substr(0, strlen(logFolder) - 1).c_str(), logName.c_str());

    const std::string parent = "C:\\Users\\Public\\Downloads";
    const std::string fits = parent + "\\" + std::string(260 - parent.size() - 1, 'a');
    const std::string tooLong = fits + "b";
    struct Case {
        std::string path;
        std::string expected;
        bool logged;
    };
    const Case cases[] = {
        {fits, fits, false},
        {tooLong, "", true},
        {"", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.size());
        ASSERT_TRUE(server->Route(DefinitionFile(0), "[InstallationInformation]\r\nDlpkOutputPath=" + c.path + "\r\n"));
        GetExtDef().Clear();
        DeleteFileA(logPath.c_str());
        std::memset(context.cleanupFolder, 'x', sizeof context.cleanupFolder - 1);
        ResultPage page(RunNormalSequence(&context));
        EXPECT_TRUE(page.Is<CLoginDialog>()) << page.Name();
        EXPECT_EQ(std::string(context.cleanupFolder), c.expected);
        std::ifstream log(logPath, std::ios::binary);
        std::stringstream logged;
        logged << log.rdbuf();
        EXPECT_EQ(logged.str().find("COMMON_DLPK_OUTPUT_PATH") != std::string::npos, c.logged) << logged.str();
    }
    context.traceLog.SetLogFile("", "");
    DeleteFileA(logPath.c_str());
}

struct MigrationCase {
    const char* simulated;  // null: the switch is absent
    const char* table;
    const std::type_info& page;
    const char* candidate;  // CT_EXISTS; null: not set
    const char* migration;  // MIGRATION_TYPE; null: not set
};

const MigrationCase kMigrations[] = {
    // Nothing is installed in the test's machine.
    {nullptr, "V:P_3.1", typeid(CLoginDialog), nullptr, nullptr},
    {"P_3.1", "V:P_3.1", typeid(CPreUpgradeDialog), "P_3.1.0.0", "V"},
    {"P_3.1", "v:P_3.1", typeid(CPreUpgradeDialog), "P_3.1.0.0", "v"},
    {"P_3.1", "H:P", typeid(CLoginDialog), "P_3.1.0.0", "H"},
    {"P_3.1", "S:P_3", typeid(CLoginDialog), "P_3.1.0.0", "S"},
    {"P_3.1", "s:P_3.1.0", typeid(CLoginDialog), "P_3.1.0.0", "s"},
    {"P_3.1", "X:P", typeid(CLoginDialog), "P_3.1.0.0", nullptr},
    {"P_3.1", "?:P VV:P :P", typeid(CLoginDialog), "P_3.1.0.0", nullptr},
    {"P_3.1", "P", typeid(CLoginDialog), "P_3.1.0.0", ""},
    // The more specific key wins over an entry that stands first.
    {"P_3.1", "H:P,V:P_3.1", typeid(CPreUpgradeDialog), "P_3.1.0.0", "V"},
    {"P_3.1.2.4", "H:P_3.1\r\nS:P_3.1.2\tv:P_3.1.2.4", typeid(CPreUpgradeDialog), "P_3.1.2.4", "v"},
    // Of two entries for one key the first counts.
    {"P_3.1", "H:P_3.1;S:P_3.1", typeid(CLoginDialog), "P_3.1.0.0", "H"},
    {"p_3.1", "V:P_3.1", typeid(CPreUpgradeDialog), "p_3.1.0.0", "V"},
    {"P_3.1", "V:Q_3.1/V:P_3.2", typeid(CLoginDialog), "P_3.1.0.0", nullptr},
    // At most four numbers; missing and non-numeric parts are 0.
    {"P_1.2.3.4.5", "V:P_1.2.3.4", typeid(CPreUpgradeDialog), "P_1.2.3.4", "V"},
    {"P_7.x.2", "H:P_7.0.2", typeid(CLoginDialog), "P_7.0.2.0", "H"},
    {"P", "H:P_0", typeid(CLoginDialog), "P_0.0.0.0", "H"},
    {"P_A_B", "H:P_0", typeid(CLoginDialog), "P_0.0.0.0", "H"},
    {"", "V:P", typeid(CLoginDialog), "_0.0.0.0", nullptr},
};

TEST_F(NormalSequenceTest, InstalledProductChoosesUpgradeOrMigrationByItsMostSpecificKey)
{
    // The definitions stay loaded for the whole table; each case gives the decisions' text.
    ASSERT_EQ(LoadExternalDefinitions(), 1);
    for (const MigrationCase& c : kMigrations) {
        SCOPED_TRACE(std::string(c.simulated ? c.simulated : "(no switch)") + " / " + c.table);
        ASSERT_TRUE(c.simulated || !CTextDef::HasText("TWEAK_SIMULATE_CLIENTTOOLUPGRADE"))
            << "the cases without the switch come first";
        context.values.RemoveAll();
        CTextDef::SetText("COMMON_CT_PRODUCT_UPGRADE_AND_MIGRATE", c.table);
        if (c.simulated)
            CTextDef::SetText("TWEAK_SIMULATE_CLIENTTOOLUPGRADE", c.simulated);
        const int noticeHits = server->Hits(kNotice);
        ResultPage page(RunNormalSequence(&context));
        EXPECT_EQ(page.Type(), c.page) << page.Name();
        EXPECT_EQ(HasValue("CT_EXISTS"), c.candidate != nullptr);
        if (c.candidate) {
            EXPECT_EQ(Value("CT_EXISTS"), c.candidate);
        }
        EXPECT_EQ(HasValue("MIGRATION_TYPE"), c.migration != nullptr);
        if (c.migration) {
            EXPECT_EQ(Value("MIGRATION_TYPE"), c.migration);
        }
        // The tool-upgrade page ends the sequence before the sign-in stage.
        EXPECT_EQ(server->Hits(kNotice) - noticeHits, c.page == typeid(CPreUpgradeDialog) ? 0 : 1);
    }
}

TEST_F(NormalSequenceTest, DecisionFromTheDefinitionFilesSendsToTheToolUpgrade)
{
    ASSERT_TRUE(server->Route(DefinitionFile(3), "[UpgradeMigrationControl]\r\nKAVO1_5.2=migration-only\r\n"
                                                 "KAVO1_5.1=skip-upgrade\r\n"));
    CTextDef::SetText("TWEAK_SIMULATE_CLIENTTOOLUPGRADE", "KAVO1_5.1.3");
    ResultPage page(RunNormalSequence(&context));
    EXPECT_TRUE(page.Is<CPreUpgradeDialog>()) << page.Name();
    EXPECT_EQ(Value("MIGRATION_TYPE"), "V");
    EXPECT_EQ(Value("CT_EXISTS"), "KAVO1_5.1.3.0");
}

TEST_F(NormalSequenceTest, NoticeWithAPositiveStatusIsShownBeforeTheSignIn)
{
    struct Case {
        const char* notice;  // null: the download fails
        const std::type_info& page;
        const char* status;  // OPS_STATUS; null: not set
    };
    const Case cases[] = {
        {nullptr, typeid(CLoginDialog), nullptr},
        {"\r\n", typeid(CLoginDialog), nullptr},
        {"Other: 5\r\n\r\n\x82\xa8\x92\x6d\x82\xe7\x82\xb9\r\n", typeid(CLoginDialog), nullptr},
        {"OPS-Status: -1\r\n\r\nbody\r\n", typeid(CLoginDialog), nullptr},
        {"OPS-Status: 0\r\n\r\nbody\r\n", typeid(CLoginDialog), nullptr},
        {"OPS-Status: 1\r\n\r\n\x82\xa8\x92\x6d\x82\xe7\x82\xb9\r\n", typeid(CMotdDialog), "1"},
        {"OPS-Status:  12 \r\n\r\nline 1\r\nline 2\r\n", typeid(CMotdDialog), "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notice ? c.notice : "(no notice)");
        context.values.RemoveAll();
        if (c.notice) {
            ASSERT_TRUE(server->Route(kNotice, c.notice));
        } else {
            ASSERT_TRUE(server->Fail(kNotice, "404"));
        }
        ResultPage page(RunNoticeStep(&context));
        EXPECT_EQ(page.Type(), c.page) << page.Name();
        EXPECT_EQ(HasValue("OPS_STATUS"), c.status != nullptr);
        EXPECT_EQ(HasValue("OPS_MOTD"), c.status != nullptr);
        if (c.status) {
            EXPECT_EQ(Value("OPS_STATUS"), c.status);
            const std::string notice = c.notice;
            EXPECT_EQ(Value("OPS_MOTD"), notice.substr(notice.find("\r\n\r\n") + 4));
        }
    }
}

TEST_F(NormalSequenceTest, RunModeThreeSignsInAtOnce)
{
    struct Case {
        const char* what;
        const char* accessKey;
        const char* scriptedResult;  // the answer to "1001"; null: the model's
        const std::type_info& page;
        bool saved;
        bool refusedState;
    };
    const Case cases[] = {
        {"accepted", "KEY0001", nullptr, typeid(CStatusDialog), true, false},
        {"wrong key", "KEY9999", nullptr, typeid(CLoginDialog), false, true},
        {"refused 9991", "KEY0001", "9991", typeid(CLoginDialog), false, true},
        {"other result", "KEY0001", "1001", typeid(CErrorDialog), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetCustomer("2", 3);
        if (c.scriptedResult) {
            ASSERT_TRUE(server->OrdersScript("1001", std::string("\"result\": \"") + c.scriptedResult + "\""));
        }
        SignInAtOnceAs("C0001", c.accessKey);
        ResultPage page(RunNormalSequence(&context));
        EXPECT_EQ(page.Type(), c.page) << page.Name();
        EXPECT_EQ(server->OrdersIds().substr(0, 4), "1001");
        CString id;
        CString key;
        ASSERT_TRUE(LoadLoginParams(id, key));
        EXPECT_EQ(id == "C0001" && key == "KEY0001", c.saved);
        EXPECT_EQ(Value("CLoginDialog::InitialState"), c.refusedState ? "ERROR" : "");
        // The notice step follows only a refused sign-in.
        EXPECT_EQ(server->Hits(kNotice), c.refusedState ? 1 : 0);
        // An active agreement with a serial in use needs neither fee table nor check.
        EXPECT_EQ(server->Hits(kFees), 0);
        EXPECT_EQ(server->Hits(kConflicts), 0);
        EXPECT_EQ(context.requirementResults[REQ_OS], 7);
        DeleteLoginParams();
        Configure();
    }
}

TEST_F(NormalSequenceTest, RefusedImmediateSignInShowsAPendingNoticeFirst)
{
    ASSERT_TRUE(server->Route(kNotice, "OPS-Status: 2\r\n\r\nbody\r\n"));
    SignInAtOnceAs("C0001", "WRONG");
    ResultPage page(RunNormalSequence(&context));
    EXPECT_TRUE(page.Is<CMotdDialog>()) << page.Name();
    EXPECT_EQ(Value("CLoginDialog::InitialState"), "ERROR");
    EXPECT_EQ(Value("OPS_STATUS"), "2");
}

TEST_F(NormalSequenceTest, FailedSignInOrReportGivesTheErrorPage)
{
    struct Case {
        const char* what;
        const char* id;
        const char* members;
    };
    // WinINet sends a request once more when the connection drops unanswered.
    const Case cases[] = {
        {"sign-in unanswered", "1001", "\"mode\": \"refuse\", \"times\": 2"},
        {"status refresh before the report fails", "1002", "\"status\": 500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetCustomer("2", 3);
        ASSERT_TRUE(server->OrdersScript(c.id, c.members));
        SignInAtOnceAs("C0001", "KEY0001");
        ResultPage page(RunNormalSequence(&context));
        EXPECT_TRUE(page.Is<CErrorDialog>()) << page.Name();
        EXPECT_EQ(server->Hits(kNotice), 0);
        DeleteLoginParams();
        Configure();
    }
}

struct AfterLoginCase {
    const char* what;
    std::vector<const char*> agreementStates;
    std::vector<int> serialStates;
    const std::type_info& page;
    bool prepared;  // the fee table is loaded and the order prepared
};

const AfterLoginCase kAfterLogin[] = {
    {"agreement active, serial in use", {"0", "2"}, {1, 3}, typeid(CStatusDialog), false},
    {"agreement active, serial unusable", {"1"}, {5}, typeid(CStatusDialog), false},
    {"agreement active, serial awaiting install", {"1"}, {0, 1}, typeid(CRegClientDialog), true},
    {"agreement active, no serial", {"2"}, {}, typeid(CRegClientDialog), true},
    {"agreement ended, serial in use", {"0", "-1", "x"}, {4}, typeid(CStatusDialog), true},
    {"no agreement", {}, {}, typeid(CStatusDialog), true},
};

TEST_F(NormalSequenceTest, AfterSignInTheContractsChooseTheNextPage)
{
    CTextDef::SetText("TWEAK_SKIP_SRCHK", "");
    for (const AfterLoginCase& c : kAfterLogin) {
        SCOPED_TRACE(c.what);
        GetFeeCalc().Clear();
        context.values.RemoveAll();
        context.phase = kStartPhase;
        context.response.agreements.RemoveAll();
        context.response.serials.RemoveAll();
        for (const char* state : c.agreementStates) {
            COpsAgreement agreement;
            agreement.SecurityStatus = state;
            context.response.agreements.Add(agreement);
        }
        for (int state : c.serialStates) {
            COpsSerialInfo serial;
            serial.SerialStatus = state;
            context.response.serials.Add(serial);
        }
        const int feeHits = server->Hits(kFees);
        ResultPage page(RunAfterLoginStep(&context));
        EXPECT_EQ(page.Type(), c.page) << page.Name();
        EXPECT_EQ(server->Hits(kFees) - feeHits, c.prepared ? 1 : 0);
        EXPECT_EQ(GetFeeCalc().GetReadyState(nullptr), c.prepared ? FEECALC_READY : FEECALC_NOT_LOADED);
        EXPECT_STREQ(context.phase, c.prepared ? "LPCsif" : kStartPhase);
        EXPECT_EQ(Value("AN08_ORDER"), c.prepared ? "\x90\x56\x8b\x4b\x8c\x5f\x96\xf1" : "");
        EXPECT_EQ(context.requirementResults[REQ_OS], 7) << "the check is switched off";
    }
}

TEST_F(NormalSequenceTest, FeeTableThatIsNotReadyGivesTheErrorPage)
{
    struct Case {
        const char* what;
        const char* table;  // null: the download fails
    };
    const Case cases[] = {
        {"download fails", nullptr},
        {"line that is no row", "1, 300\r\nthree, 200\r\n"},
    };
    CTextDef::SetText("TWEAK_SKIP_SRCHK", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GetFeeCalc().Clear();
        context.errorCode.Empty();
        context.phase = kStartPhase;
        if (c.table) {
            ASSERT_TRUE(server->Route(kFees, c.table));
        } else {
            ASSERT_TRUE(server->Fail(kFees, "404"));
        }
        ResultPage page(RunAfterLoginStep(&context));
        EXPECT_TRUE(page.Is<CErrorDialog>()) << page.Name();
        EXPECT_STREQ(context.errorCode, "EXG4001");
        EXPECT_STREQ(context.phase, kStartPhase);
    }
}

TEST_F(NormalSequenceTest, FeeTableLoadedBeforeIsNotFetchedAgain)
{
    CTextDef::SetText("TWEAK_SKIP_SRCHK", "");
    const CString url = CTextDef::GetUrlText("COMMON_URI_FEETABLE");
    ASSERT_EQ(GetFeeCalc().StartLoad(url, FALSE), FEECALC_READY);
    ResultPage page(RunAfterLoginStep(&context));
    EXPECT_TRUE(page.Is<CStatusDialog>()) << page.Name();
    EXPECT_EQ(server->Hits(kFees), 1);
}

TEST_F(NormalSequenceTest, RequirementCheckRoutesToTheCheckPageUnlessSkippedOrIgnored)
{
    struct Case {
        const char* what;
        std::vector<const char*> switches;
        const std::type_info& page;
        bool checked;
    };
    // The test's OS definition names no system this machine runs and asks for more than any
    // machine has, so each check falls short unless skipped. CPU and memory are left to the
    // check page.
    const Case cases[] = {
        {"check runs, OS short", {}, typeid(CCheckComputerDialog), true},
        {"errors ignored", {"TWEAK_IGNORE_SRCHK_ERR"}, typeid(CStatusDialog), true},
        {"check skipped", {"TWEAK_SKIP_SRCHK"}, typeid(CStatusDialog), false},
        {"OS, browser and disk met",
         {"TWEAK_SKIP_SRCHK_OS", "TWEAK_SKIP_SRCHK_IE", "TWEAK_SKIP_SRCHK_HDD"},
         typeid(CStatusDialog),
         true},
        {"browser short", {"TWEAK_SKIP_SRCHK_OS", "TWEAK_SKIP_SRCHK_HDD"}, typeid(CCheckComputerDialog), true},
        {"disk short", {"TWEAK_SKIP_SRCHK_OS", "TWEAK_SKIP_SRCHK_IE"}, typeid(CCheckComputerDialog), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Configure();
        for (const char* key : c.switches)
            CTextDef::SetText(key, "");
        ResultPage page(RunAfterLoginStep(&context));
        EXPECT_EQ(page.Type(), c.page) << page.Name();
        EXPECT_EQ(context.requirementResults[REQ_OS] != 7, c.checked);
        EXPECT_EQ(server->Hits(kConflicts), c.checked ? 1 : 0);
        if (c.switches.size() == 3) {
            EXPECT_EQ(context.requirementResults[REQ_CPU], REQ_RESULT_NOT_MET);
            EXPECT_EQ(context.requirementResults[REQ_MEM], REQ_RESULT_NOT_MET);
        }
        // The order is prepared only when the check lets the run go on.
        EXPECT_STREQ(context.phase, c.page == typeid(CCheckComputerDialog) ? kStartPhase : "LPCsif");
    }
}

}  // namespace
