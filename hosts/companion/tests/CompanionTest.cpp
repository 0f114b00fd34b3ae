#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <cstring>
#include <string>

#include "CKAVOCompModule.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "KavoTestPaths.h"
#include "ProgramFolder.h"
#include "fakes/FakeProductHost.h"

namespace {

const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kCache[] = "Software\\KRVK\\VELDIN SECURITY\\KAVO\\cached extdef";

std::string ScratchPath()
{
    return "Software\\KavoTest\\Companion_" + std::to_string(GetCurrentProcessId());
}

bool RunOnceValueExists()
{
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, kRunOnce, KEY_READ) != ERROR_SUCCESS)
        return false;
    CString value;
    return key.QueryStringValue("KAVO autorun", value) == ERROR_SUCCESS;
}

TEST(CompanionCommandLine, TokensSetModeFlagsAndPhase)
{
    struct Case {
        const char* line;
        const char* mode;
        BOOL quiet;
        BOOL restart;
        const char* phase;
    };
    const Case cases[] = {
        {"kavocomp.exe", "COMPLETE_INSTALLATION", FALSE, FALSE, nullptr},
        {"kavocomp.exe -c", "COMPLETE_INSTALLATION", FALSE, FALSE, nullptr},
        {"kavocomp.exe --complete-installation", "COMPLETE_INSTALLATION", FALSE, FALSE, nullptr},
        {"kavocomp.exe -cu", "COMPLETE_UPGRADE", FALSE, FALSE, nullptr},
        {"kavocomp.exe --complete-upgrade", "COMPLETE_UPGRADE", FALSE, FALSE, nullptr},
        {"kavocomp.exe -cu -c", "COMPLETE_INSTALLATION", FALSE, FALSE, nullptr},
        {"kavocomp.exe -c -q -i Lpcif", "COMPLETE_INSTALLATION", TRUE, FALSE, "Lpcif"},
        {"kavocomp.exe --quiet", "COMPLETE_INSTALLATION", TRUE, FALSE, nullptr},
        {"kavocomp.exe -R", "COMPLETE_INSTALLATION", FALSE, TRUE, nullptr},
        {"kavocomp.exe --restart -i Lpdt", "COMPLETE_INSTALLATION", FALSE, TRUE, "Lpdt"},
        {"kavocomp.exe --phase-indicator Lpx -cu", "COMPLETE_UPGRADE", FALSE, FALSE, "Lpx"},
        // The value after -i is taken as it stands, even when it looks like a switch.
        {"kavocomp.exe -i -q", "COMPLETE_INSTALLATION", FALSE, FALSE, "-q"},
        {"kavocomp.exe -c -i", "COMPLETE_INSTALLATION", FALSE, FALSE, nullptr},
        {"kavocomp.exe -I Lp -Q -r -C -CU", "COMPLETE_INSTALLATION", FALSE, FALSE, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        CKAVOCompModule module;
        module.ParseCommandLine(c.line);
        EXPECT_STREQ(module.mode, c.mode);
        EXPECT_EQ(module.quiet, c.quiet);
        EXPECT_EQ(module.restart, c.restart);
        if (c.phase)
            EXPECT_STREQ(module.phaseIndicator, c.phase);
        else
            EXPECT_EQ(module.phaseIndicator, nullptr);
    }
}

TEST(CompanionCommandLine, ArgumentTextIsWhatFollowsTheProgramName)
{
    struct Case {
        const char* line;
        const char* text;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\kavocomp.exe\" -c -i Lp", "-c -i Lp"},
        {"C:\\kavo\\kavocomp.exe --restart -i Lpdt", "--restart -i Lpdt"},
        {"\"C:\\kavo\\kavocomp.exe\"", ""},
        {"kavocomp.exe", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArgumentText(c.line), c.text) << c.line;
}

class CompanionRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTextDef::RemoveAll();
        ASSERT_EQ(cache.Create(HKEY_CURRENT_USER, kCache), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        cache.Close();
        RegDeleteTreeA(HKEY_CURRENT_USER, kCache);
        RegDeleteTreeA(HKEY_CURRENT_USER, ScratchPath().c_str());
        CTextDef::RemoveAll();
    }
    CRegKey cache;
};

TEST_F(CompanionRegistry, CachedStringValuesReplaceTheirTexts)
{
    CTextDef::SetText("COMMON_REG_HKCU_KAVO", "HKEY_CURRENT_USER\\Software\\KRVK\\VELDIN SECURITY\\KAVO");
    CTextDef::SetText("COMMON_DATA_CACHED_EXTDEF_PROPERTIES", "\r\nA,B\r\n\r\n,C,D\nE");
    for (const char* name : {"A", "B", "C", "D", "E"})
        CTextDef::SetText(name, "built-in");
    cache.SetStringValue("A", "plain");
    cache.SetStringValue("B", "%TEMP%\\kavo", REG_EXPAND_SZ);
    const DWORD number = 5;
    RegSetValueExA(cache, "C", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegSetValueExA(cache, "D", 0, REG_BINARY, reinterpret_cast<const BYTE*>("abc"), 4);
    cache.SetStringValue("E", "after a bare line feed");
    cache.SetStringValue("F", "not listed");
    ApplyCachedValues();
    EXPECT_EQ(CTextDef::GetText("A"), "plain");
    EXPECT_EQ(CTextDef::GetText("B"), "%TEMP%\\kavo");
    EXPECT_EQ(CTextDef::GetText("C"), "built-in");
    EXPECT_EQ(CTextDef::GetText("D"), "built-in");
    EXPECT_EQ(CTextDef::GetText("E"), "after a bare line feed");
    EXPECT_FALSE(CTextDef::HasText("F"));
}

TEST_F(CompanionRegistry, MainProgramPathJoinsPathAndFallsBackToOwnFolder)
{
    const std::string own = std::string(GetProgramFolder()) + "\\kavo.exe";
    CTextDef::SetText("COMMON_REG_HKLM_KAVO", ("HKEY_CURRENT_USER\\" + ScratchPath()).c_str());
    EXPECT_EQ(std::string(MainProgramPath()), own) << "key missing";

    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchPath().c_str()), ERROR_SUCCESS);
    EXPECT_EQ(std::string(MainProgramPath()), own) << "no Path value";
    struct Case {
        const char* path;
        std::string expected;
    };
    const Case cases[] = {
        {"C:\\kavo", "C:\\kavo\\kavo.exe"},
        {"C:\\kavo\\", "C:\\kavo\\kavo.exe"},
        {"", own},
    };
    for (const Case& c : cases) {
        key.SetStringValue("Path", c.path);
        EXPECT_EQ(std::string(MainProgramPath()), c.expected) << c.path;
    }
}

TEST(CompanionSetupWatch, AnUnseenSetupIsGivenUpAfterTheWait)
{
    CTextDef::SetText("COMMON_SETUP_EXE_FILE_NAME", "kavo_absent_setup.exe");
    CTextDef::SetText("COMMON_WINDOW_TITLE", "KAVO absent setup window");
    const DWORD start = GetTickCount();
    EXPECT_EQ(WaitForSetupToFinish(SetupWaitTimings{300, 50}), -1);
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 300u);
    EXPECT_LT(took, 5000u);
    EXPECT_EQ(SetupWaitTimings().giveUpMs, 240000u);
    EXPECT_EQ(SetupWaitTimings().pollMs, 3000u);
}

TEST(CompanionSetupWatch, ProcessesAreFoundByImageNameInAnyCase)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string name = std::strrchr(self, '\\') + 1;
    EXPECT_EQ(FindProcessIdByImageName(name.c_str()), GetCurrentProcessId());
    for (char& c : name)
        c = char(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(FindProcessIdByImageName(name.c_str()), GetCurrentProcessId());
    EXPECT_EQ(FindProcessIdByImageName("kavo_absent_setup.exe"), 0u);
}

// The decision after a restart, with the status and product planted through the cache.
TEST_F(CompanionRegistry, DecisionPicksTheResultPageAndDeletesTheRunOnceValue)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        FakeProductHost product;
        ASSERT_TRUE(product.IsRegistered());
        struct Case {
            const char* name;
            const char* arguments;
            int status;  // -1: no value
            const wchar_t* productId;
            const char* page;
        };
        const Case cases[] = {
            {"installed", "kavocomp.exe -c", 1, L"KAVO-TEST-PRODUCT", "CPostInstallDialog"},
            {"installed, id in other case", "kavocomp.exe -c", 1, L"kavo-test-product", "CPostInstallDialog"},
            {"another product", "kavocomp.exe -c", 1, L"OTHER", "CInstallFailedDialog"},
            {"no status", "kavocomp.exe -c", -1, L"KAVO-TEST-PRODUCT", "CInstallFailedDialog"},
            {"status 2", "kavocomp.exe", 2, L"KAVO-TEST-PRODUCT", "CInstallFailedDialog"},
            {"setup never seen", "kavocomp.exe -c", 0, L"KAVO-TEST-PRODUCT", "CInstallFailedDialog"},
            {"upgrade done", "kavocomp.exe -cu", 1, L"KAVO-TEST-PRODUCT", "CPostUpgradeDialog"},
            {"upgrade failed", "kavocomp.exe -cu", -1, L"KAVO-TEST-PRODUCT", "CUpgradeFailedDialog"},
        };
        const std::string statusKey = ScratchPath() + "\\state";
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            RegDeleteTreeA(HKEY_CURRENT_USER, ScratchPath().c_str());
            if (c.status >= 0) {
                CRegKey key;
                ASSERT_EQ(key.Create(HKEY_CURRENT_USER, statusKey.c_str()), ERROR_SUCCESS);
                key.SetDWORDValue("Status", DWORD(c.status));
            }
            cache.SetStringValue("COMMON_REG_XGINSTALLSTATUS", ("HKEY_CURRENT_USER\\" + statusKey + "\\Status").c_str());
            cache.SetStringValue("COMMON_CT_PRODUCTID", "KAVO-TEST-PRODUCT");
            cache.SetStringValue("COMMON_CT_PRODUCTVERSION", "17.0");
            cache.SetStringValue("COMMON_SETUP_EXE_FILE_NAME", "kavo_absent_setup.exe");
            cache.SetStringValue("COMMON_WINDOW_TITLE", "KAVO absent setup window");
            product.Configure(c.productId, L"17.0.1234");

            CKAVOCompModule module;
            module.waitTimings = SetupWaitTimings{200, 50};
            module.ParseCommandLine(c.arguments);
            EXPECT_EQ(module.PreMessageLoop(), 0);
            EXPECT_STREQ(module.mode, c.page);
            EXPECT_FALSE(module.installerPending);
            EXPECT_FALSE(RunOnceValueExists());
        }
    }
    CoUninitialize();
}

}  // namespace
