#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CExtDef.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "ExternalDefinitions.h"
#include "FakeContent.h"
#include "KavoTestPaths.h"
#include "VersionText.h"

namespace {

std::string Text(const char* key)
{
    return CTextDef::GetText(key).GetString();
}

TEST(NormalizeVersionText, DropsTheLeadingZeroOfAVersionPart)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"5.01", "5.1"},   {"5.0", "5"},       {"5.00", "5.0"},   {"1,05", "1,5"},    {"2.0.1", "2.0.1"},
        {"10", "10"},      {"", ""},           {"1000", "1000"},  {"8.0", "8"},       {"5.01.02", "5.1.2"},
        {"1,0.05", "1,0.5"}, {"6,0", "6"},     {"PreUpgradeMsg5.01", "PreUpgradeMsg5.1"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(NormalizeVersionText(c.in), c.out) << c.in;
}

TEST(ExtDefStore, KeepsAcceptedSectionsByExactNameAndFindsTheLastEntry)
{
    CExtDef store;
    store.OnEntry("", "Before", "g");
    store.OnEntry("General", "Key", "1");
    store.OnEntry("general", "Key", "lower-case header");
    store.OnEntry("Unknown", "Key", "x");
    store.OnEntry("B-N10", "PostInstallMsg", "m");
    store.OnEntry("General", "Key", "2");

    CExtDefSection& general = store.GetSection("General");
    ASSERT_EQ(general.GetCount(), 3);
    EXPECT_STREQ(general[0].key, "Before");
    EXPECT_STREQ(general.Find("Key")->value, "2");
    EXPECT_EQ(general.Find("key"), nullptr);
    EXPECT_EQ(store.GetSection("B-N10").GetCount(), 1);
    EXPECT_EQ(store.GetCount(), 2u);  // General and B-N10 only (GetSection created nothing new)
    EXPECT_TRUE(store.HasEntries());

    store.Clear();
    EXPECT_FALSE(store.HasEntries());
    EXPECT_EQ(store.GetCount(), 0u);
}

const char kDomain[] = "http://127.0.0.1:65001";
const char kInitialDomain[] = "http://127.0.0.1:65000";
const char* const kFileNames[] = {"secdef_K.ini", "secversion_K.ini", "oemlist_K.ini", "contentsdef_K.ini",
                                  "system_K.ini"};

// The text store as the built-in definition sets it up for the downloads, with addresses on
// the fake content server and a registry key of this test's own.
class ExternalDefinitionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTextDef::RemoveAll();
        GetExtDef().Clear();
        CTextDef::SetDomainUrl("");
        CTextDef::SetText("COMMON_INITCONF_URL", kInitialDomain);
        CTextDef::SetText("COMMON_URI_DOMAIN_JUDGE", "&CURL;/contents/security/kavo/ipv6/domain_judge_K.html");
        const char* const keys[] = {"COMMON_URI_EXTDEF_SECDEF", "COMMON_URI_EXTDEF_SECVERSION", "COMMON_URI_EXTDEF_OEMLIST",
                                    "COMMON_URI_EXTDEF_CONTENTSDEF", "COMMON_URI_EXTDEF_SYSTEM"};
        for (int i = 0; i < 5; ++i)
            CTextDef::SetText(keys[i], (std::string("&CURL;/contents/security/kavo/define/") + kFileNames[i]).c_str());
        CTextDef::SetText("COMMON_REG_HKLM_KAVO", ("HKEY_LOCAL_MACHINE\\" + m_regPath).c_str());
        CTextDef::SetText("COMMON_URL_START_MNUE", "");
        // The judged domain's server answers the judgement as well, naming itself.
        m_server.Serve(JudgeUrl(kInitialDomain), std::string("Domain=") + kDomain + "\r\n");
        m_server.Serve(JudgeUrl(kDomain), std::string("Domain=") + kDomain + "\r\n");
        for (int i = 0; i < 5; ++i)
            ServeFile(i, "");
    }

    void TearDown() override
    {
        GetExtDef().Clear();
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_regPath.c_str());
    }

    static std::string JudgeUrl(const std::string& domain)
    {
        return domain + "/contents/security/kavo/ipv6/domain_judge_K.html";
    }
    static std::string FileUrl(int index, const std::string& domain = kDomain)
    {
        return domain + "/contents/security/kavo/define/" + kFileNames[index];
    }
    void ServeFile(int index, const std::string& body) { m_server.Serve(FileUrl(index), body); }

    std::string StoredDomain()
    {
        CRegKey key;
        CString value;
        if (key.Open(HKEY_LOCAL_MACHINE, m_regPath.c_str(), KEY_READ) != ERROR_SUCCESS ||
            key.QueryStringValue("Domain", value) != ERROR_SUCCESS)
            return "(none)";
        return value.GetString();
    }

    FakeContent m_server;
    std::string m_regPath = "SOFTWARE\\KavoCoreTest\\" + std::to_string(GetCurrentProcessId());
};

TEST_F(ExternalDefinitionsTest, FiveFilesFeedTheTextStoreInOrder)
{
    ServeFile(0,
              "UrlXG32Installer = \"http://127.0.0.1/xg32.exe\" \r\n"
              "UrlXG64Installer='http://127.0.0.1/xg64.exe'\r\n"
              "[InstallationControl]\r\nVersion=1.0\r\nOEMPID=PID-1\r\n"
              "[installationcontrol]\r\nWindowTitle=ignored\r\n");
    ServeFile(1, "[InstallationControl]\nVersion=2.0\n[B-N10]\nPostInstallMsg=first line\n\t'second'\n");
    ServeFile(2, "[InstallationInformation]\nDlpkOutputPath=%TEMP%\\kavo\n");
    ServeFile(3, "[StartMenu]\nGuideLink=&CURL;/guide.html\n[Money]\ntax=1000\n");
    ServeFile(4, "[General]\nCOMMON_DATA_CONFLICT_EXCLUDE_LIST=KeyA\tName A\n\tKeyB\n");

    ASSERT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(Text("COMMON_URI_XG32INSTALLER"), "http://127.0.0.1/xg32.exe");
    EXPECT_EQ(Text("COMMON_URI_XG64INSTALLER"), "http://127.0.0.1/xg64.exe");
    EXPECT_EQ(Text("COMMON_CT_PRODUCTID"), "PID-1");
    EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "2.0");
    EXPECT_EQ(Text("COMMON_WINDOW_TITLE"), "");
    EXPECT_EQ(Text("POST_INSTALL_MESSAGE"), "first line\r\nsecond");
    EXPECT_EQ(Text("COMMON_DLPK_OUTPUT_PATH"), "%TEMP%\\kavo");
    EXPECT_EQ(Text("COMMON_URL_LINK_GUIDE"), "&CURL;/guide.html");
    EXPECT_EQ(Text("COMMON_NUM_TAXRATE"), "1000");
    EXPECT_EQ(Text("COMMON_DATA_CONFLICT_EXCLUDE_LIST"), "KeyA\tName A\r\nKeyB");
    // Keys no file holds are set empty.
    for (const char* key : {"COMMON_CFG_OPS_PCINFO_STVER", "COMMON_REG_XGINSTALLSTATUS", "COMMON_CMD_XGINSTALL",
                            "PRE_UPGRADE_MESSAGE", "POST_UPGRADE_MESSAGE", "COMMON_CT_PRODUCT_UPGRADE_AND_MIGRATE"}) {
        EXPECT_TRUE(CTextDef::HasText(key)) << key;
        EXPECT_EQ(Text(key), "") << key;
    }

    std::vector<std::string> expected = {JudgeUrl(kInitialDomain)};
    for (int i = 0; i < 5; ++i)
        expected.push_back(FileUrl(i));
    EXPECT_EQ(m_server.Requests(), expected);
}

TEST_F(ExternalDefinitionsTest, UpgradeMigrationControlBuildsDecisionsAndMessageKeys)
{
    ServeFile(0,
              "[UpgradeMigrationControl]\n"
              "5.01=upgrade\n"
              "6,0=migration\n"
              "7=something else\n"
              "5.1=skip-upgrade\n"
              "PreUpgradeMsg5.01=before 5.1\n"
              "PreUpgradeMsg5,2=before 5.2\n"
              "PostUpgradeMsg9.9=after\n"
              "PostUpgradeMsg=after, last\n"
              "8.0=migration-only\n8.1=skip-migration\n"
              "[Money]\ntax=1000\ntax2=8.0\n");
    ASSERT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(Text("COMMON_CT_PRODUCT_UPGRADE_AND_MIGRATE"), "s:6\r\n?:7\r\nV:5.1\r\nH:8\r\nS:8.1\r\n");
    EXPECT_EQ(Text("PRE_UPGRADE_MESSAGE5_1"), "before 5.1");
    EXPECT_EQ(Text("PRE_UPGRADE_MESSAGE5_2"), "before 5.2");
    EXPECT_FALSE(CTextDef::HasText("PRE_UPGRADE_MESSAGE5_01"));
    EXPECT_EQ(Text("POST_UPGRADE_MESSAGE"), "after, last");
    EXPECT_EQ(Text("COMMON_NUM_TAXRATE"), "8");
}

TEST_F(ExternalDefinitionsTest, TaxRateWithoutAnEntryKeepsItsText)
{
    CTextDef::SetText("COMMON_NUM_TAXRATE", "800");
    ASSERT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(Text("COMMON_NUM_TAXRATE"), "800");
}

TEST_F(ExternalDefinitionsTest, FailingThirdFileLeavesTheStoreAndTheNextCallFetchesAllAgain)
{
    ServeFile(0, "[InstallationControl]\nVersion=new\n");
    m_server.Withdraw(FileUrl(2));
    CTextDef::SetText("COMMON_CT_PRODUCTVERSION", "old");
    const size_t keysBefore = CTextDef::GetCount();

    EXPECT_EQ(LoadExternalDefinitions(), 0);
    EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "old");
    EXPECT_EQ(CTextDef::GetCount(), keysBefore);
    EXPECT_FALSE(GetExtDef().HasEntries());
    EXPECT_EQ(m_server.Requests().size(), 4u);  // judgement, then the first three files

    ServeFile(2, "");
    m_server.ClearRequests();
    EXPECT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "new");
    ASSERT_EQ(m_server.Requests().size(), 6u);
    EXPECT_EQ(m_server.Requests()[0], JudgeUrl(kDomain));

    m_server.ClearRequests();
    EXPECT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(ExternalDefinitionsTest, JudgedDomainIsUsedAndStoredInTheRegistry)
{
    m_server.Serve(JudgeUrl(kInitialDomain), "; answer\r\nOther=1\r\n[Skipped]\r\nDomain=http://wrong\r\n"
                                             "[DomainSwitch]\r\nDomain = 'http://127.0.0.1:65001'\r\n");
    ASSERT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_STREQ(CTextDef::GetDomainUrl(), kDomain);
    EXPECT_EQ(StoredDomain(), kDomain);
    EXPECT_FALSE(CTextDef::HasText("Domain"));  // the answer stays out of the text store
    EXPECT_FALSE(CTextDef::HasText("Other"));
}

TEST_F(ExternalDefinitionsTest, DomainSetByTheHostIsAskedFirst)
{
    const std::string hostDomain = "http://127.0.0.1:65002";
    CTextDef::SetDomainUrl(hostDomain.c_str());
    m_server.Serve(JudgeUrl(hostDomain), std::string("Domain=") + kDomain);
    ASSERT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(m_server.Requests().front(), JudgeUrl(hostDomain));
}

TEST_F(ExternalDefinitionsTest, FailedOrDomainLessJudgementMakesTheDefinitionsUnavailable)
{
    const size_t keysBefore = CTextDef::GetCount();
    for (bool answered : {false, true}) {
        SCOPED_TRACE(answered ? "answer without Domain" : "no answer");
        if (answered)
            m_server.Serve(JudgeUrl(kInitialDomain), "Other=1\n[DomainSwitch]\nDomain=\n");
        else
            m_server.Withdraw(JudgeUrl(kInitialDomain));
        m_server.ClearRequests();

        EXPECT_EQ(LoadExternalDefinitions(), 0);
        EXPECT_EQ(m_server.Requests(), (std::vector<std::string>{JudgeUrl(kInitialDomain)}));
        EXPECT_STREQ(CTextDef::GetDomainUrl(), "");
        EXPECT_EQ(StoredDomain(), "(none)");
        EXPECT_EQ(CTextDef::GetCount(), keysBefore);
    }
    // The next call starts again from the initial domain.
    m_server.Serve(JudgeUrl(kInitialDomain), std::string("Domain=") + kDomain);
    EXPECT_EQ(LoadExternalDefinitions(), 1);
}

TEST_F(ExternalDefinitionsTest, LocalStandInFileReplacesTheDownloads)
{
    const std::string name = "kavo-core-extdef-" + std::to_string(GetCurrentProcessId()) + ".ini";
    const std::string path = TestBinFolder() + "\\" + name;
    ASSERT_TRUE(WriteWholeFile(path, "[InstallationControl]\r\nVersion=local\r\n"));

    CTextDef::SetText("TWEAK_FILENAME_EXTDEF", name.c_str());
    EXPECT_EQ(LoadExternalDefinitions(), 1);
    DeleteFileA(path.c_str());
    EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "local");
    EXPECT_EQ(m_server.Requests(), (std::vector<std::string>{JudgeUrl(kInitialDomain)}));
}

// The stand-in needs no content server: a judgement that fails or names no domain does not
// keep it from being read.
TEST_F(ExternalDefinitionsTest, LocalStandInFileIsReadWhenTheJudgementFails)
{
    const std::string name = "kavo-core-extdef-nojudge-" + std::to_string(GetCurrentProcessId()) + ".ini";
    const std::string path = TestBinFolder() + "\\" + name;
    ASSERT_TRUE(WriteWholeFile(path, "[InstallationControl]\r\nVersion=local\r\n"));
    CTextDef::SetText("TWEAK_FILENAME_EXTDEF", name.c_str());

    for (bool answered : {false, true}) {
        SCOPED_TRACE(answered ? "answer without Domain" : "no answer");
        GetExtDef().Clear();
        CTextDef::SetText("COMMON_CT_PRODUCTVERSION", "before");
        if (answered)
            m_server.Serve(JudgeUrl(kInitialDomain), "Other=1\n");
        else
            m_server.Withdraw(JudgeUrl(kInitialDomain));
        m_server.ClearRequests();
        CTextDef::SetDomainUrl("");

        EXPECT_EQ(LoadExternalDefinitions(), 1);
        EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "local");
        EXPECT_STREQ(CTextDef::GetDomainUrl(), "");
        EXPECT_EQ(m_server.Requests(), (std::vector<std::string>{JudgeUrl(kInitialDomain)}));
    }
    DeleteFileA(path.c_str());
}

TEST_F(ExternalDefinitionsTest, MissingStandInFileFallsBackToTheDownloads)
{
    ServeFile(1, "[InstallationControl]\nVersion=downloaded\n");
    CTextDef::SetText("TWEAK_FILENAME_EXTDEF", "kavo-core-no-such-file.ini");
    EXPECT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "downloaded");
    EXPECT_EQ(m_server.Requests().size(), 6u);
}

}  // namespace
