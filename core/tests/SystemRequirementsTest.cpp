#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "FakeContent.h"
#include "KavoTestPaths.h"

namespace {

std::vector<int> Thresholds(const CThresholdReqElement& element)
{
    std::vector<int> values;
    for (int i = 0; i < element.thresholds.GetSize(); ++i)
        values.push_back(element.thresholds[i]);
    return values;
}

std::vector<int> Parts(const BrowserVersion& version)
{
    return std::vector<int>(version.parts, version.parts + 4);
}

void Parse(CSystemRequirements& store, const char* text)
{
    CString input(text);
    ASSERT_TRUE(store.Parse(input));
}

TEST(SystemRequirementsEntries, OsEntriesTakeTheirNumbersFromTheKey)
{
    CSystemRequirements store;
    Parse(store,
          "[OS]\n"
          "OS_Requirements=Windows 7 or later\n"
          "XP*,SP3,32\n"
          "Win7=the value is not used\n"
          "Vista , sp2 , 64bit\n"
          "W8,abc,SP1,SP2\n"
          "[os]\nIgnored\n");
    // A pattern of blanks only: kept with its numbers at their defaults.
    store.OnEntry("OS", " ,SP3", "");
    const auto& os = store.GetOsEntries();
    ASSERT_EQ(os.GetSize(), 5);
    const struct {
        const char* pattern;
        int servicePack;
        int bitness;
    } expected[] = {{"XP*", 3, 32}, {"Win7", -1, -1}, {"Vista", 2, 64}, {"W8", 2, -1}, {"", -1, -1}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(os[i].pattern, expected[i].pattern);
        EXPECT_EQ(os[i].servicePack, expected[i].servicePack);
        EXPECT_EQ(os[i].bitness, expected[i].bitness);
        EXPECT_EQ(os[i].result, 2);
    }
    EXPECT_STREQ(store.GetOsRequirements(), "Windows 7 or later");
}

TEST(SystemRequirementsEntries, MalformedEntriesAreDroppedOneByOne)
{
    CSystemRequirements store;
    Parse(store,
          "[CPU]\nXP*=300,1000\nBad=\nCPU_Requirements=1 GHz\nSTANDARD= 500 , ,x\n"
          "[cpu]\nLower=1\n"
          "[Memory]\nXP*=256\n[MEM]\nWin7=1024,2048\nMEM_Requirements=1 GB\n"
          "[HDD]\nOne=500\nZero=0,100\nWord=abc,100\nGood=500,1000\n[Drive]\nAlias=1,2\n"
          "[IE]\nXP*=6.0\nWin7=7,9\nComma=7.0,\nBad=\n[InternetExplorer]\nAlias=8.0.1.2.3,10.1\n"
          "[OSBuildBlackList]\nWin10=\nWin10=10240\n=123\n");

    const auto& cpu = store.GetCpuEntries();
    ASSERT_EQ(cpu.GetSize(), 2);
    EXPECT_EQ(Thresholds(cpu[0]), (std::vector<int>{1000, 300}));
    EXPECT_EQ(Thresholds(cpu[1]), (std::vector<int>{0, 500}));
    EXPECT_STREQ(store.GetCpuRequirements(), "1 GHz");

    const auto& mem = store.GetMemEntries();
    ASSERT_EQ(mem.GetSize(), 2);
    EXPECT_EQ(Thresholds(mem[1]), (std::vector<int>{2048, 1024}));
    EXPECT_STREQ(store.GetMemRequirements(), "1 GB");

    const auto& hdd = store.GetHddEntries();
    ASSERT_EQ(hdd.GetSize(), 2);
    EXPECT_STREQ(hdd[0].pattern, "Good");
    EXPECT_EQ(hdd[0].systemPart, 500);
    EXPECT_EQ(hdd[0].installPart, 1000);
    EXPECT_STREQ(hdd[1].pattern, "Alias");

    const auto& ie = store.GetIeEntries();
    ASSERT_EQ(ie.GetSize(), 4);
    EXPECT_EQ(Parts(ie[0].minimum), (std::vector<int>{6, 0, 0, 0}));
    EXPECT_EQ(Parts(ie[0].upper), (std::vector<int>{9999, 9999, 9999, 9999}));
    EXPECT_EQ(Parts(ie[1].minimum), (std::vector<int>{7, 0, 0, 0}));
    EXPECT_EQ(Parts(ie[1].upper), (std::vector<int>{9, 0, 0, 0}));
    // A trailing comma names no upper version rather than an upper version of 0.
    EXPECT_EQ(Parts(ie[2].upper), (std::vector<int>{9999, 9999, 9999, 9999}));
    EXPECT_EQ(Parts(ie[3].minimum), (std::vector<int>{8, 0, 1, 2}));
    EXPECT_EQ(Parts(ie[3].upper), (std::vector<int>{10, 1, 0, 0}));

    const auto& blackList = store.GetOsBlackList();
    ASSERT_EQ(blackList.GetSize(), 1);
    EXPECT_STREQ(blackList[0].build, "10240");
}

TEST(SystemRequirementsEntries, LaterSystemNameReplacesTheEarlier)
{
    CSystemRequirements store;
    Parse(store, "[SystemNames]\n6.1=Win7\n6.1,1=Win7Home\n[SystemName]\n6.1=Windows7\n[Other]\n6.2=Win8\n");
    EXPECT_STREQ(store.LookupSystemName("6.1"), "Windows7");
    EXPECT_STREQ(store.LookupSystemName("6.1,1"), "Win7Home");
    EXPECT_STREQ(store.LookupSystemName("6.2"), "");
    EXPECT_TRUE(store.HasEntries());
}

class LoadOsDefinitionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("http://127.0.0.1:65003");
        CTextDef::SetText("COMMON_URI_EXTDEF_OSDEF", "&CURL;/contents/security/kavo/define/osdef_K.ini");
        GetSystemRequirements().RemoveAll();
    }
    void TearDown() override
    {
        GetSystemRequirements().RemoveAll();
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
    }

    const std::string m_url = "http://127.0.0.1:65003/contents/security/kavo/define/osdef_K.ini";
    FakeContent m_server;
};

TEST_F(LoadOsDefinitionsTest, LoadsOnceFromTheServer)
{
    EXPECT_FALSE(LoadOsDefinitions());  // not served yet: the store stays empty
    EXPECT_FALSE(GetSystemRequirements().HasEntries());

    m_server.Serve(m_url, "[OSBuildBlackList]\nWin10=10240\n");
    EXPECT_TRUE(LoadOsDefinitions());
    EXPECT_FALSE(GetSystemRequirements().HasEntries());  // a blacklist alone does not count as loaded

    m_server.Serve(m_url, "[CPU]\nSTANDARD=100\n");
    EXPECT_TRUE(LoadOsDefinitions());
    m_server.ClearRequests();
    m_server.Withdraw(m_url);
    EXPECT_TRUE(LoadOsDefinitions());
    EXPECT_TRUE(m_server.Requests().empty());
    EXPECT_EQ(GetSystemRequirements().GetCpuEntries().GetSize(), 1);
    // The switch was only asked about, never read into the store.
    EXPECT_FALSE(CTextDef::HasText("TWEAK_FILENAME_EXTDEF"));
}

TEST_F(LoadOsDefinitionsTest, EmptyAddressFails)
{
    CTextDef::SetText("COMMON_URI_EXTDEF_OSDEF", "");
    EXPECT_FALSE(LoadOsDefinitions());
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(LoadOsDefinitionsTest, LocalStandInFileIsReadFirst)
{
    const std::string name = "kavo-core-osdef-" + std::to_string(GetCurrentProcessId()) + ".ini";
    const std::string path = TestBinFolder() + "\\" + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string body = "[InstallationControl]\nVersion=1\n[MEM]\nSTANDARD=64\n";
    DWORD written = 0;
    WriteFile(file, body.data(), DWORD(body.size()), &written, nullptr);
    CloseHandle(file);

    CTextDef::SetText("TWEAK_FILENAME_EXTDEF", name.c_str());
    EXPECT_TRUE(LoadOsDefinitions());
    DeleteFileA(path.c_str());
    EXPECT_EQ(GetSystemRequirements().GetMemEntries().GetSize(), 1);
    EXPECT_TRUE(m_server.Requests().empty());

    // A stand-in that cannot be read falls back to the server.
    GetSystemRequirements().RemoveAll();
    m_server.Serve(m_url, "[HDD]\nSTANDARD=1,2\n");
    EXPECT_TRUE(LoadOsDefinitions());
    EXPECT_EQ(GetSystemRequirements().GetHddEntries().GetSize(), 1);
}

}  // namespace
