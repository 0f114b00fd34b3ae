#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CCheckRequirement.h"
#include "CExtDef.h"
#include "CFeeCalc.h"
#include "CMotdFetcher.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "ExternalDefinitions.h"
#include "FakeServer.h"
#include "KavoTestPaths.h"

namespace {

std::string Text(const char* key)
{
    return CTextDef::GetText(key).GetString();
}

// Every file below root + relative (Windows paths), as its path relative to root.
void ListFiles(const std::string& root, const std::string& relative, std::vector<std::string>& files)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + relative + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(root, relative + "\\" + name, files);
        else
            files.push_back(relative + "\\" + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The content server that the journeys and the run command bring with them
// (tests/journey/fixtures), served as the fake server serves that folder, and read by the
// built-in text's own addresses: a broken fixture shows here, not only in a demo.
class BundledOperatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server = FakeServer::Shared();
        ASSERT_NE(m_server, nullptr);
        ASSERT_TRUE(m_server->Reset());
        const std::string root = SourcePath("tests/journey/fixtures");
        std::vector<std::string> files;
        ListFiles(root, "", files);
        ASSERT_FALSE(files.empty());
        for (const std::string& file : files) {
            std::string body = ReadWholeFile(root + file);
            for (size_t at; (at = body.find("@BASE@")) != std::string::npos;)
                body.replace(at, 6, m_server->BaseUrl());
            std::string path = file;
            for (char& c : path)
                if (c == '\\')
                    c = '/';
            ASSERT_TRUE(m_server->Route(path, body)) << path;
        }
        ASSERT_TRUE(CTextDef::LoadFromFile(SourcePath("resources/text.def").c_str()));
        GetExtDef().Clear();
        GetSystemRequirements().RemoveAll();
        GetFeeCalc().Clear();
        CTextDef::SetDomainUrl("");
        CTextDef::SetText("COMMON_INITCONF_URL", m_server->BaseUrl().c_str());
        CTextDef::SetText("COMMON_REG_HKLM_KAVO", ("HKEY_CURRENT_USER\\" + m_regPath).c_str());
    }

    void TearDown() override
    {
        GetExtDef().Clear();
        GetSystemRequirements().RemoveAll();
        GetFeeCalc().Clear();
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
        RegDeleteTreeA(HKEY_CURRENT_USER, m_regPath.c_str());
    }

    FakeServer* m_server = nullptr;
    std::string m_regPath = "Software\\KavoBundledOperatorTest-" + std::to_string(GetCurrentProcessId());
};

TEST_F(BundledOperatorTest, DefinitionFilesLoadAndSupplyTheRunTimeKeys)
{
    ASSERT_EQ(LoadExternalDefinitions(), 1);
    EXPECT_STREQ(CTextDef::GetDomainUrl(), m_server->BaseUrl().c_str());
    for (const char* key : {"COMMON_CT_PRODUCTID", "COMMON_CT_PRODUCTVERSION", "COMMON_REG_XGINSTALLSTATUS",
                            "COMMON_WINDOW_TITLE", "COMMON_WINDOW_MODULE", "COMMON_SETUP_EXE_FILE_NAME",
                            "COMMON_DLPK_OUTPUT_PATH", "COMMON_CMD_XGINSTALL", "COMMON_URI_XG32INSTALLER",
                            "COMMON_CT_PRODUCT_UPGRADE_AND_MIGRATE", "POST_INSTALL_MESSAGE", "POST_UPGRADE_MESSAGE"})
        EXPECT_FALSE(CTextDef::GetText(key).IsEmpty()) << key;
    EXPECT_LE(CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH").GetLength(), MAX_PATH);
    EXPECT_EQ(Text("COMMON_URI_XG32INSTALLER").rfind(m_server->BaseUrl(), 0), 0u) << "points back at the server";
    // The installed product of the operator's current version needs no tool upgrade.
    const std::string table = Text("COMMON_CT_PRODUCT_UPGRADE_AND_MIGRATE");
    const std::string current = Text("COMMON_CT_PRODUCTID") + "_" + Text("COMMON_CT_PRODUCTVERSION");
    EXPECT_NE(table.find("S:" + current + "\r\n"), std::string::npos) << table;
}

TEST_F(BundledOperatorTest, OsDefinitionLoadsAndNamesEverySystemItLists)
{
    ASSERT_EQ(LoadExternalDefinitions(), 1);
    ASSERT_TRUE(LoadOsDefinitions());
    const CSystemRequirements& requirements = GetSystemRequirements();
    EXPECT_GT(requirements.GetOsEntries().GetSize(), 0);
    EXPECT_GT(requirements.GetCpuEntries().GetSize(), 0);
    EXPECT_GT(requirements.GetMemEntries().GetSize(), 0);
    EXPECT_GT(requirements.GetHddEntries().GetSize(), 0);
    EXPECT_GT(requirements.GetIeEntries().GetSize(), 0);
    for (const char* text : {requirements.GetOsRequirements().GetString(), requirements.GetCpuRequirements().GetString(),
                             requirements.GetMemRequirements().GetString(), requirements.GetHddRequirements().GetString(),
                             requirements.GetIeRequirements().GetString()})
        EXPECT_STRNE(text, "");
    EXPECT_STREQ(requirements.LookupSystemName("10.0,48"), "Windows 10");
    EXPECT_STREQ(requirements.LookupSystemName("DEFAULT"), "Windows");
}

TEST_F(BundledOperatorTest, NoticeFeeTableAndConflictListAreReadable)
{
    CTextDef::SetDomainUrl(m_server->BaseUrl().c_str());
    CMotdFetcher notice;
    notice.Start(nullptr, TRUE);
    EXPECT_GT(notice.GetOpsStatus(), 0);
    EXPECT_FALSE(notice.GetBody().IsEmpty());

    const CString fees = CTextDef::GetUrlText("COMMON_URI_FEETABLE");
    ASSERT_EQ(GetFeeCalc().StartLoad(fees, FALSE), FEECALC_READY);
    EXPECT_EQ(GetFeeCalc().GetUnitFee(1), 500);
    EXPECT_EQ(GetFeeCalc().GetTotalFee(4), 500 + 400 + 400 + 300);

    CSimpleArray<CString> names;
    CSimpleArray<CString> keys;
    CCheckRequirement().CheckConflicts(names, keys);
    EXPECT_EQ(m_server->Hits("/contents/security/kavo/avlist/avlist_k.html"), 1);
}

}  // namespace
