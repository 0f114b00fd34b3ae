#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CCheckRequirement.h"
#include "CPageContext.h"
#include "CRegKey.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "FakeContent.h"
#include "FakeMachine.h"
#include "InstalledSoftware.h"
#include "ThreadStart.h"
#include "UninstallKeys.h"
#include "Wow64.h"

namespace {

const char kDomain[] = "http://127.0.0.1:65004";
const std::string kListUrl = std::string(kDomain) + "/contents/security/kavo/avlist/avlist_k.html";
const std::string kOsDefUrl = std::string(kDomain) + "/contents/security/kavo/define/osdef_K.ini";

std::vector<std::string> Strings(const CSimpleArray<CString>& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.GetSize(); ++i)
        out.push_back(list[i].GetString());
    return out;
}

int Occurrences(const CSimpleArray<CString>& list, const std::string& name)
{
    int count = 0;
    for (int i = 0; i < list.GetSize(); ++i)
        count += list[i] == name.c_str();
    return count;
}

class RequirementTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl(kDomain);
        CTextDef::SetText("COMMON_URI_CONFLICTIONCHKDATA", "&CURL;/contents/security/kavo/avlist/avlist_k.html");
        CTextDef::SetText("COMMON_URI_EXTDEF_OSDEF", "&CURL;/contents/security/kavo/define/osdef_K.ini");
        GetSystemRequirements().RemoveAll();
    }
    void TearDown() override
    {
        GetSystemRequirements().RemoveAll();
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
    }

    FakeContent m_server;
    UninstallKeys m_keys;
};

using ConflictCheckTest = RequirementTestBase;

TEST_F(ConflictCheckTest, ListedInstalledSoftwareIsFoundOnceWhicheverViewHoldsIt)
{
    ASSERT_TRUE(IsWow64()) << "the test prefix is a 64-bit system";
    const std::string both = UninstallKeys::Name("Both");
    const std::string only64 = UninstallKeys::Name("Only64");
    const std::string nameless = UninstallKeys::Name("Nameless");
    const std::string unlisted = UninstallKeys::Name("Unlisted");
    ASSERT_TRUE(m_keys.Install(both, "Both views", KEY_WOW64_32KEY));
    ASSERT_TRUE(m_keys.Install(both, "Both views", KEY_WOW64_64KEY));
    ASSERT_TRUE(m_keys.Install(only64, "Only in the 64-bit view", KEY_WOW64_64KEY));
    ASSERT_TRUE(m_keys.Install(nameless, nullptr, KEY_WOW64_32KEY));
    ASSERT_TRUE(m_keys.Install(unlisted, "Not listed", KEY_WOW64_32KEY));

    CSimpleArray<CString> installed;
    GetUninstallKeyNames(installed);
    EXPECT_EQ(Occurrences(installed, both), 2);
    EXPECT_EQ(Occurrences(installed, only64), 1);

    // CR only, LF only, CR LF, empty lines, a name listed twice, a name nobody installed.
    m_server.Serve(kListUrl, "\r\n" + both + "\r" + UninstallKeys::Name("NotInstalled") + "\n\n" + only64 + "\r\n" +
                                 nameless + "\r\r\n" + both + "\n" + " " + only64 + "\n");
    CCheckRequirement check;
    CSimpleArray<CString> names;
    CSimpleArray<CString> keys;
    names.Add("stale");
    EXPECT_TRUE(check.CheckConflicts(names, keys));
    EXPECT_EQ(Strings(keys), (std::vector<std::string>{both, only64}));
    EXPECT_EQ(Strings(names), (std::vector<std::string>{"Both views", "Only in the 64-bit view"}));
}

TEST_F(ConflictCheckTest, ExclusionLinesPassSoftwareOnlyUnderTheirExactName)
{
    const std::string listed = UninstallKeys::Name("Listed");
    const std::string keyOnly = UninstallKeys::Name("KeyOnly");
    const std::string keyOnlyOther = UninstallKeys::Name("KeyOnlyOther");
    const std::string unlistedOther = UninstallKeys::Name("UnlistedOther");
    const std::string unlistedSame = UninstallKeys::Name("UnlistedSame");
    ASSERT_TRUE(m_keys.Install(listed, "Listed product", KEY_WOW64_32KEY));
    ASSERT_TRUE(m_keys.Install(keyOnly, keyOnly.c_str(), KEY_WOW64_32KEY));
    ASSERT_TRUE(m_keys.Install(keyOnlyOther, "Some other name", KEY_WOW64_32KEY));
    ASSERT_TRUE(m_keys.Install(unlistedOther, "Installed name", KEY_WOW64_32KEY));
    ASSERT_TRUE(m_keys.Install(unlistedSame, "Excluded name", KEY_WOW64_32KEY));

    m_server.Serve(kListUrl, listed + "\r\n" + keyOnly + "\r\n" + keyOnlyOther + "\r\n");
    CTextDef::SetText("COMMON_DATA_CONFLICT_EXCLUDE_LIST",
                      (listed + "\tListed product\r\n" + keyOnly + "\r\n" + keyOnlyOther + "\r\n\t\r\n" + unlistedOther +
                       "\t\tListed under another name\r\n" + unlistedSame + "\tExcluded name\r\n")
                          .c_str());
    CCheckRequirement check;
    CSimpleArray<CString> names;
    CSimpleArray<CString> keys;
    EXPECT_TRUE(check.CheckConflicts(names, keys));
    EXPECT_EQ(Strings(keys), (std::vector<std::string>{keyOnlyOther, unlistedOther}));
    EXPECT_EQ(Strings(names), (std::vector<std::string>{"Some other name", "Installed name"}));
}

TEST_F(ConflictCheckTest, UnreachableListReportsNothing)
{
    const std::string listed = UninstallKeys::Name("Unreached");
    ASSERT_TRUE(m_keys.Install(listed, "Installed", KEY_WOW64_32KEY));
    CTextDef::SetText("COMMON_DATA_CONFLICT_EXCLUDE_LIST", (listed + "\tOther").c_str());
    CCheckRequirement check;
    CSimpleArray<CString> names;
    CSimpleArray<CString> keys;
    keys.Add("stale");
    EXPECT_FALSE(check.CheckConflicts(names, keys));
    EXPECT_EQ(names.GetSize(), 0);
    EXPECT_EQ(keys.GetSize(), 0);
}

TEST(EnumRegSubKeyNames, ListsEverySubKeyAndReportsAKeyThatCannotBeRead)
{
    const std::string path = "SOFTWARE\\KavoCoreTest\\Enum-" + std::to_string(GetCurrentProcessId());
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);
    for (const char* name : {"alpha", "a much longer sub-key name", "b"}) {
        CRegKey child;
        ASSERT_EQ(child.Create(key, name), ERROR_SUCCESS);
    }
    CSimpleArray<CString> names;
    EXPECT_EQ(EnumRegSubKeyNames(key, names), ERROR_SUCCESS);
    std::vector<std::string> found = Strings(names);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"a much longer sub-key name", "alpha", "b"}));
    key.Close();
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());

    CSimpleArray<CString> untouched;
    untouched.Add("kept");
    EXPECT_NE(EnumRegSubKeyNames(nullptr, untouched), ERROR_SUCCESS);
    EXPECT_EQ(Strings(untouched), (std::vector<std::string>{"kept"}));
}

// A Windows 7 PC: CPU between minimum and recommended, too little memory, the installation
// fits only on D:, a supported browser.
class CheckRequirementRunTest : public RequirementTestBase {
protected:
    void SetUp() override
    {
        RequirementTestBase::SetUp();
        m_server.Serve(kOsDefUrl,
                       "[SystemNames]\n6.1=Win7\n[OS]\nWin7\n[CPU]\nSTANDARD=1000,2000\n[MEM]\nSTANDARD=1024\n"
                       "[HDD]\nSTANDARD=500,1000\n[IE]\nSTANDARD=8\n");
        m_machine.SetDword(kFakeCpuKey, "~MHz", 1500);
        m_machine.totalPhysical = DWORDLONG(512) << 20;
        m_machine.drives = {{'C', Fixed(600)}, {'D', Fixed(1200)}};
        m_machine.SetString(kFakeBrowserKey, "svcVersion", "11.0.9600");
        m_conflict = UninstallKeys::Name("Conflict");
        ASSERT_TRUE(m_keys.Install(m_conflict, "Conflicting product", KEY_WOW64_32KEY));
        m_server.Serve(kListUrl, m_conflict + "\r\n");
    }

    static FakeDrive Fixed(DWORD freeMb)
    {
        FakeDrive drive;
        drive.freeMb = freeMb;
        return drive;
    }

    std::vector<LONG> Results() const
    {
        return std::vector<LONG>(m_ctx.requirementResults, m_ctx.requirementResults + REQ_COUNT);
    }

    FakeMachine m_machine;
    CPageContext m_ctx;
    std::string m_conflict;
};

TEST_F(CheckRequirementRunTest, ResultsDiskFiguresAndConflictsReachThePageContext)
{
    CCheckRequirement check(m_machine.Table());
    EXPECT_EQ(check.Run(nullptr, &m_ctx), 0);
    // IE, OS, CPU, MEM, HDD, APP
    EXPECT_EQ(Results(), (std::vector<LONG>{2, 2, 1, 0, 1, 0}));
    EXPECT_EQ(m_ctx.diskFigures[0], 1u << ('D' - 'A'));
    EXPECT_EQ(m_ctx.diskFigures[1], 500u);
    EXPECT_EQ(m_ctx.diskFigures[2], 1000u);
    EXPECT_EQ(Strings(m_ctx.conflictLists.uninstallKeys), (std::vector<std::string>{m_conflict}));
    EXPECT_EQ(Strings(m_ctx.conflictLists.displayNames), (std::vector<std::string>{"Conflicting product"}));
    EXPECT_EQ(check.GetErrorCount(), 2);
    EXPECT_EQ(check.GetWarningCount(), 2);
    // Asking for the switches must not switch them on for the next run.
    for (const char* key : {"TWEAK_SKIP_SRCHK_OS", "TWEAK_SKIP_SRCHK_IE", "TWEAK_SKIP_SRCHK_CPU",
                            "TWEAK_SKIP_SRCHK_MEM", "TWEAK_SKIP_SRCHK_HDD", "TWEAK_FILENAME_EXTDEF"})
        EXPECT_FALSE(CTextDef::HasText(key)) << key;
}

TEST_F(CheckRequirementRunTest, SkipSwitchesRecordTheirCheckAsMetWhateverTheirText)
{
    for (const char* key : {"TWEAK_SKIP_SRCHK_OS", "TWEAK_SKIP_SRCHK_IE", "TWEAK_SKIP_SRCHK_CPU",
                            "TWEAK_SKIP_SRCHK_MEM", "TWEAK_SKIP_SRCHK_HDD"})
        CTextDef::SetText(key, "");
    m_machine.major = 10;  // no system name: the OS check fails
    m_machine.SetString(kFakeBrowserKey, "svcVersion", "6.0");
    m_machine.drives = {{'C', Fixed(10)}};
    CCheckRequirement check(m_machine.Table());
    check.Run(nullptr, &m_ctx);
    // The OS switch lets the conflicting software pass too.
    EXPECT_EQ(Results(), (std::vector<LONG>{2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(m_ctx.conflictLists.uninstallKeys.GetSize(), 1);
    EXPECT_EQ(check.GetErrorCount(), 0);
    EXPECT_EQ(check.GetWarningCount(), 0);
}

TEST_F(CheckRequirementRunTest, CountsErrorsAndWarningsOfTheLastRun)
{
    CCheckRequirement check(m_machine.Table());
    check.Run(nullptr, &m_ctx);
    EXPECT_EQ(check.GetErrorCount(), 2);

    m_machine.major = 10;  // OS 0
    m_machine.SetString(kFakeBrowserKey, "svcVersion", "7.9");  // IE 0
    m_machine.totalPhysical = DWORDLONG(2048) << 20;
    m_machine.drives = {{'C', Fixed(2000)}};
    m_server.Serve(kListUrl, "");
    check.Run(nullptr, &m_ctx);
    EXPECT_EQ(Results(), (std::vector<LONG>{0, 0, 1, 2, 2, 2}));
    EXPECT_EQ(check.GetErrorCount(), 2);
    EXPECT_EQ(check.GetWarningCount(), 1);
    EXPECT_EQ(m_ctx.conflictLists.uninstallKeys.GetSize(), 0);
}

TEST_F(CheckRequirementRunTest, UnloadableOsDefinitionFailsEveryItemAndKeepsTheConflictLists)
{
    m_server.Withdraw(kOsDefUrl);
    m_ctx.conflictLists.uninstallKeys.Add("from an earlier run");
    for (LONG& result : m_ctx.requirementResults)
        result = 2;
    m_ctx.diskFigures[0] = 7;
    CCheckRequirement check(m_machine.Table());
    check.Run(nullptr, &m_ctx);
    EXPECT_EQ(Results(), (std::vector<LONG>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(m_ctx.diskFigures[0], 0u);
    EXPECT_EQ(Strings(m_ctx.conflictLists.uninstallKeys), (std::vector<std::string>{"from an earlier run"}));
    EXPECT_EQ(check.GetErrorCount(), 6);
    EXPECT_EQ(m_server.Requests(), (std::vector<std::string>{kOsDefUrl}));
}

TEST_F(CheckRequirementRunTest, CheckWhoseThreadCannotStartFailsEveryItem)
{
    for (LONG& result : m_ctx.requirementResults)
        result = 2;
    m_ctx.diskFigures[0] = 7;
    CCheckRequirement check(m_machine.Table());
    const ThreadStarter previous = SetThreadStarter([](ThreadProc, void*, unsigned, unsigned*) -> HANDLE { return nullptr; });
    const int result = check.Run(nullptr, &m_ctx);
    SetThreadStarter(previous);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Results(), (std::vector<LONG>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(m_ctx.diskFigures[0], 0u);
    EXPECT_EQ(check.GetErrorCount(), 6);
    EXPECT_TRUE(m_server.Requests().empty()) << "the check ran after all";
}

TEST_F(CheckRequirementRunTest, UnreachableConflictListPassesTheSoftwareCheck)
{
    m_server.Withdraw(kListUrl);
    CCheckRequirement check(m_machine.Table());
    check.Run(nullptr, &m_ctx);
    EXPECT_EQ(m_ctx.requirementResults[REQ_APP], 2);
    EXPECT_EQ(m_ctx.conflictLists.uninstallKeys.GetSize(), 0);
    EXPECT_EQ(m_ctx.conflictLists.displayNames.GetSize(), 0);
}

}  // namespace
