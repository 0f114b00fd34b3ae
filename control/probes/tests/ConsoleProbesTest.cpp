// The console-output probes and the netsh repairs against scripted tool output.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeTools.h"
#include "Ipv6Probes.h"
#include "KavoTestPaths.h"
#include "RouterProbe.h"

namespace {

const char kIpconfigGlobal[] =
    "\r\nWindows IP Configuration\r\n\r\n\r\nEthernet adapter LAN:\r\n\r\n"
    "   Connection-specific DNS Suffix  . : \r\n"
    "   IPv6 Address. . . . . . . . . . . : 2001:a8f0:1:2::10\r\n"
    "   Link-local IPv6 Address . . . . . : fe80::1%11\r\n"
    "   IPv4 Address. . . . . . . . . . . : 192.0.2.10\r\n";
const char kIpconfigOtherGlobal[] = "   IPv6 Address. . . . . . . . . . . : 2001:db8::10\r\n";
const char kIpconfigNoV6[] = "   IPv4 Address. . . . . . . . . . . : 192.0.2.10\r\n   Default Gateway . . . : 192.0.2.1\r\n";
// netsh ends its lines with CR CR LF.
const char kNetshLinkLocal[] =
    "Querying active state...\r\r\n\r\r\nInterface 4: LAN\r\r\n\r\r\n"
    "Addr Type  DAD State  Valid Life Pref. Life Address\r\r\n"
    "---------  ---------- ---------- ---------- ------------------------\r\r\n"
    "Link       Preferred  infinite   infinite   fe80::2e0:18ff:fe01:2345\r\r\n";
const char kNetshNone[] = "Querying active state...\r\r\n\r\r\nNo entries were found.\r\r\n";
const char kArpEnglish[] =
    "\r\nInterface: 192.0.2.10 --- 0xb\r\n  Internet Address      Physical Address      Type\r\n"
    "  192.0.2.1             00-11-22-33-44-55     dynamic\r\n";
const char kArpJapanese[] =
    "\r\nインターフェイス: 192.0.2.10 --- 0xb\r\n  インターネット アドレス 物理アドレス           種類\r\n"
    "  192.0.2.1             00-11-22-33-44-55     動的\r\n";
const char kArpNoEntry[] = "No ARP Entries Found.\r\n";

struct ProbeCase {
    const char* name;
    std::function<bool()> probe;
    const char* tool;
    const char* output;
    bool expected;
    const char* commandLine;
};

class ConsoleProbes : public FakeToolsTest {
protected:
    void TearDown() override
    {
        DeleteFileA(SettingsPath().c_str());
        FakeToolsTest::TearDown();
    }
    static std::string SettingsPath() { return TestBinFolder() + "\\Axpevlin.ini"; }
};

TEST_F(ConsoleProbes, EachProbeJudgesItsToolsOutputAndRunsItsCommand)
{
    const ProbeCase cases[] = {
        {"global address", HasGlobalIPv6Address, "ipconfig", kIpconfigGlobal, true, "ipconfig"},
        {"other global address", HasGlobalIPv6Address, "ipconfig", kIpconfigOtherGlobal, true, "ipconfig"},
        {"no global address", HasGlobalIPv6Address, "ipconfig", kIpconfigNoV6, false, "ipconfig"},
        {"no ipconfig output", HasGlobalIPv6Address, "ipconfig", "", false, "ipconfig"},
        {"configured prefix", HasConfiguredIPv6Prefix, "ipconfig", kIpconfigGlobal, true, "ipconfig"},
        {"other prefix only", HasConfiguredIPv6Prefix, "ipconfig", kIpconfigOtherGlobal, false, "ipconfig"},
        {"link-local in cr cr lf lines", HasIPv6LinkLocal, "netsh", kNetshLinkLocal, true,
         "netsh interface ipv6 show address"},
        {"no link-local", HasIPv6LinkLocal, "netsh", kNetshNone, false, "netsh interface ipv6 show address"},
        {"arp entry", [] { return RunArpQuery("192.0.2.1"); }, "arp", kArpEnglish, true, "arp -a 192.0.2.1"},
        {"arp entry, Japanese", [] { return RunArpQuery("192.0.2.1"); }, "arp", kArpJapanese, true,
         "arp -a 192.0.2.1"},
        {"no arp entry", [] { return RunArpQuery("192.0.2.1"); }, "arp", kArpNoEntry, false, "arp -a 192.0.2.1"},
        {"arp delete ran", [] { return RunArpDelete("192.0.2.1"); }, "arp", "", true, "arp -d 192.0.2.1"},
        {"ping ran", [] { return RunPingOnce("192.0.2.1"); }, "ping", "Request timed out.\r\n", true,
         "ping -n 1 192.0.2.1"},
        {"install ran", InstallIPv6Protocol, "netsh", "", true, "netsh interface ipv6 install"},
        {"renew ran", RenewIPv6Interface, "netsh", "", true, "netsh interface ipv6 renew"},
    };
    for (const ProbeCase& c : cases) {
        ClearCalls();
        SetOutput(c.tool, c.output);
        EXPECT_EQ(c.probe(), c.expected) << c.name;
        EXPECT_EQ(Calls(), std::vector<std::string>{c.commandLine}) << c.name;
    }
}

TEST_F(ConsoleProbes, RepairsCountAsDoneWhenNetshReportsAnError)
{
    SetOutput("netsh", "The requested operation requires elevation.\r\r\n");
    SetExitCode("netsh", 1);
    EXPECT_TRUE(InstallIPv6Protocol());
    EXPECT_TRUE(RenewIPv6Interface());
}

TEST_F(ConsoleProbes, ArpQueryAnswersFromTheWholeOutputEvenWithoutLineEnds)
{
    EXPECT_TRUE(ArpOutputShowsEntry("Internet Address Physical Address Type"));
    EXPECT_TRUE(ArpOutputShowsEntry("物理アドレス"));
    EXPECT_FALSE(ArpOutputShowsEntry("Physical  Address"));
    EXPECT_FALSE(ArpOutputShowsEntry(""));
}

TEST_F(ConsoleProbes, ConfiguredPrefixComesFromTheSettingsFile)
{
    ASSERT_TRUE(WriteWholeFile(SettingsPath(), "[ExecuteVELDIN]\r\nIPv6Address=2001:db8\r\n"));
    SetOutput("ipconfig", kIpconfigOtherGlobal);
    EXPECT_TRUE(HasConfiguredIPv6Prefix());
    SetOutput("ipconfig", kIpconfigGlobal);
    EXPECT_FALSE(HasConfiguredIPv6Prefix());
}

}  // namespace
