#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "CCheckEnv.h"
#include "CSystemRequirements.h"
#include "FakeMachine.h"

namespace {

void Parse(CSystemRequirements& store, const char* text)
{
    CString input(text);
    ASSERT_TRUE(store.Parse(input));
}

TEST(CheckEnvComparisons, CpuThresholdsReadRecommendedThenMinimum)
{
    CSystemRequirements store;
    Parse(store, "[CPU]\nWin7=1000,2000\n[MEM]\nSTANDARD=1000\n");
    FakeMachine machine;
    CCheckEnv env(machine.Table());
    const struct {
        DWORD mhz;
        int result;
    } cases[] = {{2500, 2}, {2000, 2}, {1999, 1}, {1500, 1}, {1000, 1}, {999, 0}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(env.CheckCpu(&store, "Win7", c.mhz), c.result) << c.mhz;
        // One number: met or not.
        EXPECT_EQ(env.CheckMemory(&store, "Win7", c.mhz), c.mhz >= 1000 ? 2 : 0) << c.mhz;
    }
    EXPECT_STREQ(env.GetCpuEntry().pattern, "Win7");
    EXPECT_EQ(env.CheckCpu(&store, "XP", 10), 2);  // no entry applies
}

TEST(CheckEnvComparisons, LaterApplyingMemoryEntryDecides)
{
    CSystemRequirements store;
    Parse(store, "[MEM]\nSTANDARD=4096\nWin*=512\nstandard=99999\n");
    FakeMachine machine;
    CCheckEnv env(machine.Table());
    EXPECT_EQ(env.CheckMemory(&store, "Win7", 1024), 2);
    EXPECT_STREQ(env.GetMemEntry().pattern, "Win*");
    // Only STANDARD applies to XP; its pattern is case-sensitive, so "standard" does not.
    EXPECT_EQ(env.CheckMemory(&store, "XP", 1024), 0);
    EXPECT_STREQ(env.GetMemEntry().pattern, "STANDARD");
}

TEST(CheckEnvComparisons, BrowserMustReachTheMinimumAndStayBelowTheUpperVersion)
{
    const struct {
        const char* definition;
        const char* installed;
        int result;
    } cases[] = {
        {"[IE]\nSTANDARD=7.0\n", "11.0", 2},
        {"[IE]\nSTANDARD=7.0\n", "6.0", 0},
        {"[IE]\nSTANDARD=7.0\n", "7.0", 2},
        {"[IE]\nSTANDARD=7.0\n", "6.9.9999.9999", 0},
        {"[IE]\nSTANDARD=7.0\n", "", 0},
        {"[IE]\nSTANDARD=7.0,9\n", "9.0", 0},
        {"[IE]\nSTANDARD=7.0,9\n", "9.0.0.1", 0},
        {"[IE]\nSTANDARD=7.0,9\n", "8.00.7601.17514", 2},
        {"[IE]\nSTANDARD=8\nWin7=6,7\n", "6.5", 2},
        {"[IE]\nWin7=6,7\nSTANDARD=8\n", "6.5", 0},
        {"[IE]\nXP=99\n", "1.0", 2},
    };
    FakeMachine machine;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.definition) + " installed " + c.installed);
        CSystemRequirements store;
        Parse(store, c.definition);
        CCheckEnv env(machine.Table());
        EXPECT_EQ(env.CheckBrowser(&store, "Win7", c.installed), c.result);
    }
}

struct DiskCase {
    const char* name;
    const char* definition;
    std::string systemFolder;
    std::map<char, FakeDrive> drives;
    int result;
    DWORD mask;
    DWORD systemFree;
};

DWORD Bit(char letter)
{
    return 1u << (letter - 'A');
}

FakeDrive Fixed(DWORD freeMb)
{
    FakeDrive drive;
    drive.freeMb = freeMb;
    return drive;
}

FakeDrive Removable(DWORD freeMb)
{
    FakeDrive drive = Fixed(freeMb);
    drive.type = DRIVE_REMOVABLE;
    return drive;
}

FakeDrive Substituted(DWORD freeMb)
{
    FakeDrive drive = Fixed(freeMb);
    drive.device = "\\??\\C:\\sub";
    return drive;
}

const char kDisk[] = "[HDD]\nWin7=500,1000\n";

TEST(CheckEnvDisks, SystemDriveNeedsBothPartsAndOtherDrivesTheInstallPart)
{
    const DiskCase cases[] = {
        {"system drive holds both", kDisk, "C:\\Windows\\system32", {{'C', Fixed(1600)}}, 2, Bit('C'), 1600},
        {"other drive takes the installation", kDisk, "C:\\Windows\\system32",
         {{'C', Fixed(600)}, {'D', Fixed(1200)}}, 1, Bit('D'), 600},
        {"system drive below its own part", kDisk, "C:\\Windows\\system32",
         {{'C', Fixed(400)}, {'D', Fixed(5000)}}, 0, Bit('D'), 400},
        {"removable drive does not count", kDisk, "C:\\Windows\\system32",
         {{'C', Fixed(600)}, {'E', Removable(5000)}}, 0, 0, 600},
        {"substituted drive does not count", kDisk, "C:\\Windows\\system32",
         {{'C', Fixed(600)}, {'S', Substituted(5000)}}, 0, 0, 600},
        {"system folder on another letter", kDisk, "d:\\Windows\\system32",
         {{'C', Fixed(100)}, {'D', Fixed(1500)}}, 2, Bit('D'), 1500},
        {"no entry applies", "[HDD]\nXP=500,1000\n", "C:\\Windows\\system32", {{'C', Fixed(10)}}, 2, 0, 10},
        {"entry that decides alone names the drives", "[HDD]\nSTANDARD=100,100\nWin7=500,1000\n",
         "C:\\Windows\\system32", {{'C', Fixed(600)}, {'D', Fixed(1200)}, {'E', Fixed(200)}}, 1, Bit('D'), 600},
        {"an earlier entry's drive does not rescue the result", "[HDD]\nSTANDARD=100,100\nWin7=500,1000\n",
         "C:\\Windows\\system32", {{'C', Fixed(600)}, {'E', Fixed(200)}}, 0, 0, 600},
    };
    for (const DiskCase& c : cases) {
        SCOPED_TRACE(c.name);
        CSystemRequirements store;
        Parse(store, (std::string("[SystemNames]\n6.1=Win7\n") + c.definition).c_str());
        FakeMachine machine;
        machine.systemFolder = c.systemFolder;
        machine.drives = c.drives;
        CCheckEnv env(machine.Table());
        env.Evaluate(&store);
        EXPECT_EQ(env.GetDiskResult(), c.result);
        EXPECT_EQ(env.GetDriveMask(), c.mask);
        EXPECT_EQ(env.GetSystemDriveFree(), c.systemFree);
    }
}

TEST(CheckEnvDisks, DecidingEntryIsKept)
{
    CSystemRequirements store;
    Parse(store, "[SystemNames]\n6.1=Win7\n[HDD]\nSTANDARD=100,100\nWin7=500,1000\nXP=1,1\n");
    FakeMachine machine;
    machine.drives = {{'C', Fixed(5000)}};
    CCheckEnv env(machine.Table());
    env.Evaluate(&store);
    EXPECT_EQ(env.GetHddEntry().systemPart, 500);
    EXPECT_EQ(env.GetHddEntry().installPart, 1000);
}

TEST(CheckEnvSystemName, LegacyNamesAndVersionKeys)
{
    const struct {
        DWORD platform, major, minor;
        BYTE productType;
        const char* legacy;
    } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0, "95"},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0, "98"},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0, "ME"},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 1, 0, ""},
        {VER_PLATFORM_WIN32_NT, 4, 0, VER_NT_WORKSTATION, "NT4"},
        {VER_PLATFORM_WIN32_NT, 5, 0, VER_NT_WORKSTATION, "2000"},
        {VER_PLATFORM_WIN32_NT, 5, 1, VER_NT_WORKSTATION, "XP"},
        {VER_PLATFORM_WIN32_NT, 5, 2, VER_NT_WORKSTATION, "XP64"},
        {VER_PLATFORM_WIN32_NT, 5, 2, VER_NT_SERVER, "SERVER2003"},
        {VER_PLATFORM_WIN32_NT, 5, 2, VER_NT_DOMAIN_CONTROLLER, ""},
        {VER_PLATFORM_WIN32_NT, 6, 1, VER_NT_WORKSTATION, ""},
    };
    for (const auto& c : cases) {
        FakeMachine machine;
        machine.platform = c.platform;
        machine.major = c.major;
        machine.minor = c.minor;
        machine.productType = c.productType;
        EXPECT_STREQ(GetLegacyOsName(*machine.Table()), c.legacy) << c.major << "." << c.minor;
        const std::string key = c.platform == VER_PLATFORM_WIN32_NT
                                    ? std::to_string(c.major) + "." + std::to_string(c.minor)
                                    : std::string();
        EXPECT_EQ(std::string(GetOsVersionKey(*machine.Table())), key);
    }
    FakeMachine seven;
    seven.hasProductInfo = true;
    seven.productInfo = 1;
    EXPECT_STREQ(GetOsVersionKey(*seven.Table()), "6.1,1");
}

TEST(CheckEnvSystemName, NameComesFromVersionKeyThenLegacyNameThenDefault)
{
    const struct {
        const char* names;
        DWORD major, minor;
        const char* expected;
    } cases[] = {
        {"6.1,1=Win7Ultimate\nXP=WinXP\nDEFAULT=Other\n", 6, 1, "Win7Ultimate"},
        {"6.1=Win7\nXP=WinXP\nDEFAULT=Other\n", 5, 1, "WinXP"},
        {"6.1=Win7\nDEFAULT=Other\n", 5, 1, "Other"},
        {"6.1=Win7\n", 10, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names);
        CSystemRequirements store;
        Parse(store, (std::string("[SystemNames]\n") + c.names).c_str());
        FakeMachine machine;
        machine.major = c.major;
        machine.minor = c.minor;
        machine.hasProductInfo = true;
        machine.productInfo = 1;
        CCheckEnv env(machine.Table());
        EXPECT_STREQ(env.GetSystemName(&store), c.expected);
    }
    FakeMachine xp;
    xp.major = 5;
    xp.minor = 1;
    EXPECT_STREQ(CCheckEnv(xp.Table()).GetSystemName(nullptr), "XP");
    FakeMachine ten;
    ten.major = 10;
    ten.minor = 0;
    EXPECT_STREQ(CCheckEnv(ten.Table()).GetSystemName(nullptr), "10.0");
}

TEST(CheckEnvSystemName, UnnamedSystemMeetsOnlyStandardEntriesAndFailsTheOs)
{
    CSystemRequirements store;
    Parse(store,
          "[SystemNames]\n6.1=Win7\n[OS]\nWin7\n[CPU]\nWin*=5000\nSTANDARD=100\n[MEM]\nSTANDARD=64\nWin*=99999\n");
    FakeMachine machine;
    machine.major = 10;
    machine.minor = 0;
    machine.SetDword(kFakeCpuKey, "~MHz", 200);
    machine.totalPhysical = DWORDLONG(128) << 20;
    CCheckEnv env(machine.Table());
    env.Evaluate(&store);
    EXPECT_STREQ(env.GetOsText(), "");
    EXPECT_EQ(env.GetOsResult(), 0);
    EXPECT_EQ(env.GetCpuResult(), 2);
    EXPECT_EQ(env.GetMemoryResult(), 2);
}

TEST(CheckEnvOs, ServicePackBitnessAndBlacklistDecide)
{
    const char kDefinition[] =
        "[SystemNames]\n6.1=Win7\n[OS]\nWin7,64\nWin7,SP1\n[OSBuildBlackList]\nWin7=7600\nXP=7601\n";
    const struct {
        const char* name;
        bool wow64;
        WORD servicePack;
        const char* build;
        bool build64;
        int result;
        int entryServicePack;  // of the [OS] entry examined last (-1 also for none)
    } cases[] = {
        {"64-bit entry on a 32-bit system, no later match", false, 0, "7601", false, 0, 1},
        {"64-bit system", true, 0, "7601", true, 2, -1},
        {"32-bit system with the service pack", false, 1, "7601", false, 2, 1},
        {"blacklisted build", true, 0, "7600", true, 0, -1},
        {"build read from the 64-bit view under WOW64", true, 0, "7600", false, 2, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSystemRequirements store;
        Parse(store, kDefinition);
        FakeMachine machine;
        machine.wow64 = c.wow64;
        machine.servicePackMajor = c.servicePack;
        machine.SetString(kFakeCurrentVersionKey, "CurrentBuild", c.build, c.build64);
        CCheckEnv env(machine.Table());
        EXPECT_EQ(env.CheckOs(&store, "Win7"), c.result);
        EXPECT_EQ(env.GetOsEntry().servicePack, c.entryServicePack);
    }
}

TEST(CheckEnvOs, OsTextCarriesTheServicePack)
{
    const struct {
        WORD major, minor;
        const char* text;
    } cases[] = {{0, 0, "Win7"}, {1, 0, "Win7 Service Pack 1"}, {1, 2, "Win7 Service Pack 1.2"}, {0, 3, "Win7"}};
    for (const auto& c : cases) {
        FakeMachine machine;
        machine.servicePackMajor = c.major;
        machine.servicePackMinor = c.minor;
        EXPECT_STREQ(CCheckEnv(machine.Table()).FormatOsText("Win7"), c.text);
    }
}

TEST(CheckEnvEvaluate, ProbesReadTheRightRegistryView)
{
    CSystemRequirements store;
    Parse(store, "[SystemNames]\n6.1=Win7\n[OS]\nWin7\n[CPU]\nSTANDARD=1000\n[IE]\nSTANDARD=8\n");
    for (bool wow64 : {false, true}) {
        SCOPED_TRACE(wow64 ? "WOW64" : "32-bit");
        FakeMachine machine;
        machine.wow64 = wow64;
        machine.servicePackMajor = 1;
        machine.totalPhysical = (DWORDLONG(3) << 30) + 12345;
        machine.SetString(kFakeCpuKey, "ProcessorNameString", "Fake CPU", wow64);
        machine.SetDword(kFakeCpuKey, "~MHz", 2400, wow64);
        machine.SetDword(kFakeCpuKey, "~MHz", 10, !wow64);
        machine.SetString(kFakeBrowserKey, "svcVersion", "", wow64);
        machine.SetString(kFakeBrowserKey, "Version", "9.11.1", wow64);
        machine.SetString(kFakeBrowserKey, "svcVersion", "1.0", !wow64);
        CCheckEnv env(machine.Table());
        env.Evaluate(&store);
        EXPECT_STREQ(env.GetOsText(), "Win7 Service Pack 1");
        EXPECT_EQ(env.GetOsResult(), 2);
        EXPECT_STREQ(env.GetCpuName(), "Fake CPU");
        EXPECT_EQ(env.GetCpuSpeed(), 2400u);
        EXPECT_EQ(env.GetCpuResult(), 2);
        EXPECT_EQ(env.GetMemory(), 3072u);
        EXPECT_STREQ(env.GetBrowserVersion(), "9.11.1");
        EXPECT_EQ(env.GetBrowserResult(), 2);
    }
}

TEST(CheckEnvEvaluate, UnreadableValuesCompareAsZeroAndNullStoreChangesNothing)
{
    CSystemRequirements store;
    Parse(store, "[CPU]\nSTANDARD=1\n[MEM]\nSTANDARD=1\n");
    FakeMachine machine;
    CCheckEnv env(machine.Table());
    env.Evaluate(nullptr);
    EXPECT_EQ(env.GetCpuResult(), 0);
    EXPECT_EQ(env.GetDiskResult(), 0);
    env.Evaluate(&store);
    EXPECT_EQ(env.GetCpuSpeed(), 0u);
    EXPECT_EQ(env.GetCpuResult(), 0);
    EXPECT_EQ(env.GetMemoryResult(), 0);
    EXPECT_EQ(env.GetDiskResult(), 2);
    EXPECT_EQ(env.GetBrowserResult(), 2);
}

// Wine's own answers: whatever they are, the probes must read them and not fail.
TEST(CheckEnvEvaluate, RunsOnThisSystemsRealValues)
{
    CSystemRequirements store;
    Parse(store, "[SystemNames]\nDEFAULT=Any\n[OS]\nAny\n[CPU]\nSTANDARD=1\n[MEM]\nSTANDARD=1\n"
                 "[HDD]\nSTANDARD=1,1\n[IE]\nSTANDARD=1\n");
    CCheckEnv env;
    env.Evaluate(&store);
    std::printf("version key %s, legacy name %s, build %s, OS text %s\n", GetOsVersionKey().GetString(),
                GetLegacyOsName().GetString(), GetCurrentBuild().GetString(), env.GetOsText().GetString());
    std::printf("CPU %s %lu MHz, memory %lu MB, system drive %lu MB free, drives %08lx, browser %s\n",
                env.GetCpuName().GetString(), env.GetCpuSpeed(), env.GetMemory(), env.GetSystemDriveFree(),
                env.GetDriveMask(), env.GetBrowserVersion().GetString());
    EXPECT_FALSE(GetOsVersionKey().IsEmpty());
    EXPECT_TRUE(env.GetOsText().Find("Any") == 0);
    EXPECT_EQ(env.GetOsResult(), 2);
    EXPECT_GT(env.GetMemory(), 0u);
    EXPECT_EQ(env.GetMemoryResult(), 2);
}

}  // namespace
