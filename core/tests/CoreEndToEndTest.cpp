#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CCheckRequirement.h"
#include "CExtDef.h"
#include "CPageContext.h"
#include "CRegKey.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "ExternalDefinitions.h"
#include "FakeMachine.h"
#include "FakeServer.h"
#include "UninstallKeys.h"
#include "UrlText.h"

namespace {

const char kDefine[] = "/contents/security/kavo/define/";
const char kJudgePath[] = "/contents/security/kavo/ipv6/domain_judge_K.html";
const char kListPath[] = "/contents/security/kavo/avlist/avlist_k.html";
const char* const kFiles[] = {"secdef_K.ini", "secversion_K.ini", "oemlist_K.ini", "contentsdef_K.ini",
                              "system_K.ini"};

std::string FilePath(int index)
{
    return std::string(kDefine) + kFiles[index];
}

std::string Text(const char* key)
{
    return CTextDef::GetText(key).GetString();
}

// The definition text as built in, pointed at the local content server; real HTTP all the way.
class CoreEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server = FakeServer::Shared();
        ASSERT_NE(m_server, nullptr);
        ASSERT_TRUE(m_server->Reset());
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
        GetExtDef().Clear();
        GetSystemRequirements().RemoveAll();
        CTextDef::SetText("COMMON_INITCONF_URL", m_server->BaseUrl().c_str());
        CTextDef::SetText("COMMON_URI_DOMAIN_JUDGE", (std::string("&CURL;") + kJudgePath).c_str());
        const char* const keys[] = {"COMMON_URI_EXTDEF_SECDEF", "COMMON_URI_EXTDEF_SECVERSION", "COMMON_URI_EXTDEF_OEMLIST",
                                    "COMMON_URI_EXTDEF_CONTENTSDEF", "COMMON_URI_EXTDEF_SYSTEM"};
        for (int i = 0; i < 5; ++i)
            CTextDef::SetText(keys[i], ("&CURL;" + FilePath(i)).c_str());
        CTextDef::SetText("COMMON_URI_EXTDEF_OSDEF", (std::string("&CURL;") + kDefine + "osdef_K.ini").c_str());
        CTextDef::SetText("COMMON_URI_CONFLICTIONCHKDATA", (std::string("&CURL;") + kListPath).c_str());
        CTextDef::SetText("COMMON_REG_HKLM_KAVO", ("HKEY_LOCAL_MACHINE\\" + m_regPath).c_str());
        RouteDefinitions();
    }

    // A judgement naming this server, and five files holding only a comment.
    void RouteDefinitions()
    {
        ASSERT_TRUE(m_server->Route(kJudgePath, "[DomainSwitch]\r\nDomain=" + m_server->BaseUrl() + "\r\n"));
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(m_server->Route(FilePath(i), "; " + std::string(kFiles[i]) + "\r\n"));
    }

    void TearDown() override
    {
        GetExtDef().Clear();
        GetSystemRequirements().RemoveAll();
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_regPath.c_str());
    }

    FakeServer* m_server = nullptr;
    std::string m_regPath = "SOFTWARE\\KavoCoreTest\\E2E-" + std::to_string(GetCurrentProcessId());
};

TEST_F(CoreEndToEndTest, DefinitionDownloadAppliesTheServersFiles)
{
    ASSERT_TRUE(m_server->Route(FilePath(0), "[General]\r\nUrlXG32Installer=\"" + m_server->Url("/xg32.exe") +
                                                 "\"\r\n[InstallationControl]\r\nVersion=1.0\r\n"));
    ASSERT_TRUE(m_server->Route(FilePath(1), "[InstallationControl]\nVersion=2.0\n"));
    // CP932 bytes travel unchanged: "インストールが完了しました" with its 0x5C and 0x40 trail bytes.
    ASSERT_TRUE(m_server->Route(FilePath(4), "[B-N10]\r\nPostInstallMsg=\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b"
                                             "\x83\x8b\x82\xaa\x8a\xae\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\r\n"
                                             "[Money]\r\ntax=1000\r\n"));

    ASSERT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(Text("COMMON_URI_XG32INSTALLER"), m_server->Url("/xg32.exe"));
    EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "2.0");
    EXPECT_EQ(Text("POST_INSTALL_MESSAGE"),
              "\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x8b\x82\xaa\x8a\xae\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd");
    EXPECT_EQ(Text("COMMON_NUM_TAXRATE"), "1000");
    EXPECT_EQ(std::string(CTextDef::GetDomainUrl()), m_server->BaseUrl());

    CRegKey key;
    CString stored;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, m_regPath.c_str(), KEY_READ), ERROR_SUCCESS);
    ASSERT_EQ(key.QueryStringValue("Domain", stored), ERROR_SUCCESS);
    EXPECT_EQ(std::string(stored), m_server->BaseUrl());

    EXPECT_EQ(m_server->Hits(kJudgePath), 1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m_server->Hits(FilePath(i)), 1) << kFiles[i];
        EXPECT_EQ(m_server->Last(FilePath(i), "method"), "GET");
    }
    // Loaded once per process.
    EXPECT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(m_server->Hits(kJudgePath), 1);
}

TEST_F(CoreEndToEndTest, FailingThirdFileIsRetriedWholeByTheNextCall)
{
    ASSERT_TRUE(m_server->Route(FilePath(1), "[InstallationControl]\nVersion=2.0\n"));
    ASSERT_TRUE(m_server->Fail(FilePath(2), "500"));
    CTextDef::SetText("COMMON_CT_PRODUCTVERSION", "old");
    const size_t keysBefore = CTextDef::GetCount();

    EXPECT_EQ(LoadExternalDefinitions(), 0);
    EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "old");
    EXPECT_EQ(CTextDef::GetCount(), keysBefore);
    EXPECT_EQ(m_server->Hits(FilePath(3)), 0);

    EXPECT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_EQ(Text("COMMON_CT_PRODUCTVERSION"), "2.0");
    EXPECT_EQ(m_server->Hits(kJudgePath), 2);
    EXPECT_EQ(m_server->Hits(FilePath(0)), 2);
    EXPECT_EQ(m_server->Hits(FilePath(2)), 2);
    EXPECT_EQ(m_server->Hits(FilePath(4)), 1);
}

TEST_F(CoreEndToEndTest, BrokenJudgementLeavesTheDefinitionsUnavailable)
{
    for (const char* mode : {"404", "reset", "close"}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(m_server->Reset());
        RouteDefinitions();
        CTextDef::SetDomainUrl("");
        // Every request fails: WinINet sends a request again once when the server hangs up.
        ASSERT_TRUE(m_server->Fail(kJudgePath, mode, 0));
        EXPECT_EQ(LoadExternalDefinitions(), 0);
        EXPECT_STREQ(CTextDef::GetDomainUrl(), "");
        EXPECT_EQ(m_server->Hits(FilePath(0)), 0);
    }
    const std::string refused = "http://127.0.0.1:" + std::to_string(m_server->ClosedPort());
    CTextDef::SetDomainUrl(refused.c_str());
    EXPECT_EQ(LoadExternalDefinitions(), 0);
}

TEST_F(CoreEndToEndTest, FetchTakesStatus200OnlyDropsTheQueryAndEndsTextAtNul)
{
    CString body;
    ASSERT_TRUE(m_server->Route("/e2e/text.ini", "A=1\r\nB=2\r\n"));
    EXPECT_TRUE(FetchUrlText(m_server->Url("/e2e/text.ini?v=1&w=2").c_str(), body));
    EXPECT_STREQ(body, "A=1\r\nB=2\r\n");
    EXPECT_EQ(m_server->Last("/e2e/text.ini", "query"), "");

    ASSERT_TRUE(m_server->Route("/e2e/moved.ini", "A=1", 302, "{\"Location\": \"/e2e/text.ini\"}"));
    EXPECT_FALSE(FetchUrlText(m_server->Url("/e2e/moved.ini").c_str(), body));
    EXPECT_FALSE(FetchUrlText(m_server->Url("/e2e/missing.ini").c_str(), body));
    EXPECT_FALSE(FetchUrlText("not a url", body));

    ASSERT_TRUE(m_server->Route("/e2e/nul.ini", std::string("A=1\r\n\0B=2\r\n", 11)));
    EXPECT_TRUE(FetchUrlText(m_server->Url("/e2e/nul.ini").c_str(), body));
    EXPECT_STREQ(body, "A=1\r\n");
}

TEST_F(CoreEndToEndTest, RequirementCheckPutsItsResultsInThePageContext)
{
    ASSERT_TRUE(m_server->Route(std::string(kDefine) + "osdef_K.ini",
                                "[SystemNames]\r\n6.1=Win7\r\n[OS]\r\nOS_Requirements=Windows 7\r\nWin7\r\n"
                                "[CPU]\r\nSTANDARD=1000,2000\r\n[MEM]\r\nSTANDARD=1024\r\n"
                                "[HDD]\r\nSTANDARD=500,1000\r\n[IE]\r\nSTANDARD=8,12\r\n"));
    UninstallKeys installed;
    const std::string conflict = UninstallKeys::Name("E2EConflict");
    ASSERT_TRUE(installed.Install(conflict, "E2E conflicting product", KEY_WOW64_32KEY));
    ASSERT_TRUE(m_server->Route(kListPath, UninstallKeys::Name("E2ENotInstalled") + "\r\n" + conflict + "\r\n"));

    CTextDef::SetDomainUrl(m_server->BaseUrl().c_str());
    FakeMachine machine;
    machine.SetDword(kFakeCpuKey, "~MHz", 2400);
    machine.totalPhysical = DWORDLONG(512) << 20;
    machine.drives = {{'C', FakeDrive()}, {'D', FakeDrive()}};
    machine.drives['C'].freeMb = 700;
    machine.drives['D'].freeMb = 4000;
    machine.SetString(kFakeBrowserKey, "svcVersion", "11.0.9600");

    CPageContext ctx;
    CCheckRequirement check(machine.Table());
    EXPECT_EQ(check.Run(nullptr, &ctx), 0);
    // IE, OS, CPU, MEM, HDD, APP
    EXPECT_EQ(std::vector<LONG>(ctx.requirementResults, ctx.requirementResults + REQ_COUNT),
              (std::vector<LONG>{2, 2, 2, 0, 1, 0}));
    EXPECT_EQ(ctx.diskFigures[0], 1u << ('D' - 'A'));
    EXPECT_EQ(ctx.diskFigures[1], 500u);
    EXPECT_EQ(ctx.diskFigures[2], 1000u);
    ASSERT_EQ(ctx.conflictLists.uninstallKeys.GetSize(), 1);
    EXPECT_STREQ(ctx.conflictLists.uninstallKeys[0], conflict.c_str());
    EXPECT_STREQ(ctx.conflictLists.displayNames[0], "E2E conflicting product");
    EXPECT_EQ(check.GetErrorCount(), 2);
    EXPECT_EQ(check.GetWarningCount(), 1);
    EXPECT_STREQ(GetSystemRequirements().GetOsRequirements(), "Windows 7");

    // A conflict list that cannot be fetched reports no conflict; the OS definition stays loaded.
    ASSERT_TRUE(m_server->Fail(kListPath, "reset", 0));  // WinINet may send it again once
    check.Run(nullptr, &ctx);
    EXPECT_EQ(ctx.requirementResults[REQ_APP], 2);
    EXPECT_EQ(ctx.conflictLists.uninstallKeys.GetSize(), 0);
    EXPECT_EQ(m_server->Hits(std::string(kDefine) + "osdef_K.ini"), 1);
}

TEST_F(CoreEndToEndTest, HttpsDefinitionAddressGoesOverTls)
{
    // On the plain listener a TLS client leaves a handshake note and no request.
    CString body;
    EXPECT_FALSE(FetchUrlText(("https://127.0.0.1:" + std::to_string(m_server->Port()) + "/secure").c_str(), body));
    EXPECT_EQ(m_server->Hits("/secure"), 0);
    EXPECT_NE(m_server->Log().find("TLS-HANDSHAKE"), std::string::npos);
}

}  // namespace
