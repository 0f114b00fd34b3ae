#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CTextDef.h"
#include "FakeMachine.h"
#include "PcInfo.h"

namespace {

const char kTestRoot[] = "Software\\KavoTests\\PcInfo";

// A stand-in for the SCSI device map under HKCU, removed again at the end.
class ScsiMap {
public:
    ScsiMap() { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
    ~ScsiMap() { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
    ScsiMap(const ScsiMap&) = delete;
    ScsiMap& operator=(const ScsiMap&) = delete;

    void Unit(const std::string& path, const char* type, const char* identifier)
    {
        HKEY key = nullptr;
        const std::string full = std::string(kTestRoot) + "\\Scsi\\" + path;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, full.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (type)
            RegSetValueExA(key, "Type", 0, REG_SZ, reinterpret_cast<const BYTE*>(type), DWORD(strlen(type) + 1));
        if (identifier)
            RegSetValueExA(key, "Identifier", 0, REG_SZ, reinterpret_cast<const BYTE*>(identifier),
                           DWORD(strlen(identifier) + 1));
        RegCloseKey(key);
    }

    PcInfoSource Source(FakeMachine& machine)
    {
        PcInfoSource source;
        source.api = machine.Table();
        source.scsiRoot = HKEY_CURRENT_USER;
        m_path = std::string(kTestRoot) + "\\Scsi";
        source.scsiPath = m_path.c_str();
        return source;
    }

private:
    std::string m_path;
};

TEST(PcInfoCpu, TradeMarksAndBlanksAreRemoved)
{
    const struct {
        const char* name;  // null: the processor key is missing
        DWORD mhz;
        const char* text;
    } cases[] = {
        {"Intel(R) Core(TM) i5-2400 CPU @ 3.10GHz", 3101, "Intel Core i5-2400 @ 3.10GHz(3101MHz)"},
        {"  AMD\tAthlon(tm)  64\r\nX2   ", 2000, "AMD Athlon 64 X2 (2000MHz)"},
        {"Pentium(r) CPU Duo", 1500, "Pentium Duo(1500MHz)"},
        {nullptr, 0, "(0MHz)"},
    };
    for (const auto& c : cases) {
        FakeMachine machine;
        if (c.name) {
            machine.SetString(kFakeCpuKey, "ProcessorNameString", c.name);
            machine.SetDword(kFakeCpuKey, "~MHz", c.mhz);
        }
        PcInfoSource source;
        source.api = machine.Table();
        EXPECT_STREQ(GetCpuInfoText(source), c.text) << (c.name ? c.name : "(none)");
    }
}

TEST(PcInfoCpu, LongNameIsCutToOneHundredBytes)
{
    FakeMachine machine;
    machine.SetString(kFakeCpuKey, "ProcessorNameString", std::string(150, 'x'));
    PcInfoSource source;
    source.api = machine.Table();
    EXPECT_EQ(std::string(GetCpuInfoText(source)), std::string(100, 'x'));
}

TEST(PcInfoCpu, WowProcessReadsTheSixtyFourBitView)
{
    FakeMachine machine;
    machine.wow64 = true;
    machine.SetString(kFakeCpuKey, "ProcessorNameString", "Wide", true);
    machine.SetDword(kFakeCpuKey, "~MHz", 42, true);
    machine.SetString(kFakeCpuKey, "ProcessorNameString", "Narrow");
    PcInfoSource source;
    source.api = machine.Table();
    EXPECT_STREQ(GetCpuInfoText(source), "Wide(42MHz)");
}

TEST(PcInfoMemory, MegabytesOfPhysicalMemory)
{
    FakeMachine machine;
    machine.totalPhysical = (DWORDLONG(4096) << 20) + 12345;
    PcInfoSource source;
    source.api = machine.Table();
    EXPECT_STREQ(GetMemoryInfoText(source), "4096MB");
}

TEST(PcInfoDisks, FixedDrivesAndDiskIdentifiers)
{
    ScsiMap map;
    map.Unit("Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheral", "VBOX HARDDISK");
    map.Unit("Scsi Port 1\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "CdRomPeripheral", "VBOX CD-ROM");
    map.Unit("Scsi Port 2\\Scsi Bus 0\\Target Id 1\\Logical Unit Id 0", "DiskPeripheral", "SECOND DISK");
    map.Unit("Scsi Port 3\\Scsi Bus 0\\Target Id 0", "DiskPeripheral", "NOT A UNIT");
    FakeMachine machine;
    machine.drives['C'].freeMb = 12345;
    machine.drives['D'].freeMb = 678;
    machine.drives['E'].type = DRIVE_CDROM;
    machine.drives['F'].device = "\\??\\C:\\subst";  // a substituted drive
    machine.drives['G'].device = "\\DEVICE\\Other";
    machine.drives['G'].freeMb = 1;
    const PcInfoSource source = map.Source(machine);
    EXPECT_STREQ(GetDiskInfoText(source), "C:(12345MB), D:(678MB), G:(1MB) [VBOX HARDDISK, SECOND DISK]");
}

TEST(PcInfoDisks, NoIdentifierLeavesEmptyBrackets)
{
    ScsiMap map;
    FakeMachine machine;
    machine.drives['C'].freeMb = 10;
    EXPECT_STREQ(GetDiskInfoText(map.Source(machine)), "C:(10MB) []");
}

TEST(PcInfoRegistry, SubKeysAreListedDepthFirst)
{
    ScsiMap map;
    map.Unit("A\\A1\\A11", nullptr, nullptr);
    map.Unit("A\\A2", nullptr, nullptr);
    map.Unit("B", nullptr, nullptr);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kTestRoot) + "\\Scsi").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    CSimpleArray<CString> list;
    list.Add("before");
    EXPECT_EQ(EnumRegKeysRecursive(key, "", list), 6);
    RegCloseKey(key);
    const char* expected[] = {"before", "A", "A\\A1", "A\\A1\\A11", "A\\A2", "B"};
    for (int i = 0; i < 6; ++i)
        EXPECT_STREQ(list[i], expected[i]);
}

TEST(PcInfoVersions, BrowserPrefersServiceVersionAndToolVersionMayBeMissing)
{
    FakeMachine machine;
    machine.SetString(kFakeBrowserKey, "Version", "9.11.9600.0");
    PcInfoSource source;
    source.api = machine.Table();
    EXPECT_STREQ(GetIeVersionText(source), "9.11.9600.0");
    machine.SetString(kFakeBrowserKey, "svcVersion", "11.0.9600.1");
    EXPECT_STREQ(GetIeVersionText(source), "11.0.9600.1");

    CTextDef::SetText("COMMON_REG_HKLM_KAVO", "HKEY_LOCAL_MACHINE\\SOFTWARE\\KavoTests\\Tool");
    EXPECT_STREQ(GetToolVersionText(source), "");
    machine.SetString("SOFTWARE\\KavoTests\\Tool", "Version", "3.2.1");
    EXPECT_STREQ(GetToolVersionText(source), "3.2.1");
}

TEST(PcInfoVersions, OsTextShortensServicePackAndEdition)
{
    FakeMachine machine;
    machine.major = 5;
    machine.minor = 1;
    machine.servicePackMajor = 3;
    PcInfoSource source;
    source.api = machine.Table();
    const CString text = GetOsInfoText(source);
    EXPECT_EQ(text.Find("Service Pack"), -1) << text.GetString();
    EXPECT_EQ(text.Find(" Edition"), -1) << text.GetString();
    EXPECT_GE(text.Find("SP3"), 0) << text.GetString();
}

TEST(PcInfoVersions, SecurityProductVersionFromTheDefinitionText)
{
    CTextDef::SetText("COMMON_CFG_OPS_PCINFO_STVER", "DEFINED 1.0");
    EXPECT_STREQ(GetStVersionText(TRUE), "DEFINED 1.0");
    // No product object is registered on the test machine.
    EXPECT_STREQ(GetStVersionText(FALSE), "");
}

TEST(PcInfoCut, KeepsTheFirstHundredBytes)
{
    CString text(std::string(100, 'a').c_str());
    CutTo100Bytes(text);
    EXPECT_EQ(text.GetLength(), 100);
    text += "\x82\xa0";
    CutTo100Bytes(text);
    EXPECT_EQ(text.GetLength(), 100);
    CString split((std::string(99, 'a') + "\x82\xa0").c_str());
    CutTo100Bytes(split);
    EXPECT_EQ(std::string(split), std::string(99, 'a') + "\x82");
}

}  // namespace
