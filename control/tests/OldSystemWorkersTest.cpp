// The roads of the diagnostics that only Windows XP and 2003 take: the IPv6 test site looked up
// in the system's hosts file, and the IPv6 stack installed and renewed by the network repair.
// Run by OldSystemTestMain.cpp as each of the two systems, against the same fakes as the other
// worker tests.
#include <windows.h>

#include <string>

#include "DiagnosticsFixture.h"
#include "DiagnosticsWorkers.h"
#include "OldSystemRun.h"
#include "PevlinEnvironment.h"

namespace {

class OldSystemDiagnostics : public Diagnostics {
protected:
    void SetUp() override
    {
        system = CurrentOldSystem();
        ASSERT_NE(system, nullptr) << "run only by the old-system start-up";
        Diagnostics::SetUp();
        if (HasFatalFailure())
            return;
        PevlinState probe;
        InitEnvironment(probe);
        ASSERT_STREQ(probe.osName, system->osName);
        ASSERT_EQ(probe.osClass, 2);
        hostsPath = probe.hostsFilePath;
        ASSERT_FALSE(hostsPath.empty());
        hadHosts = GetFileAttributesA(hostsPath.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (hadHosts)
            hostsBytes = ReadWholeFile(hostsPath);
    }
    void TearDown() override
    {
        // The prefix's hosts file is put back as it was.
        if (!hostsPath.empty()) {
            if (hadHosts)
                WriteWholeFile(hostsPath, hostsBytes);
            else
                DeleteFileA(hostsPath.c_str());
        }
        Diagnostics::TearDown();
    }

    const OldSystem* system = nullptr;
    std::string hostsPath, hostsBytes;
    bool hadHosts = false;
};

TEST_F(OldSystemDiagnostics, V6TestSiteLooksTheSiteUpInTheHostsFile)
{
    const struct {
        Expected expected;
        const char* hosts;
    } cases[] = {
        {{{"no global address", -1}, 220, nullptr, 0}, "2001:db8::1 v6terrace.lumio-net.jp\r\n"},
        {{{"site not in the hosts file", -1, false, kGlobalIpv6}, 221, nullptr, 0}, "127.0.0.1 localhost\r\n"},
        {{{"site only in a comment", -1, false, kGlobalIpv6}, 221, nullptr, 0},
         "127.0.0.1 localhost\r\n# 2001:db8::1 v6terrace.lumio-net.jp\r\n"},
        {{{"site mapped, comment after it", -1, false, kGlobalIpv6}, 104, nullptr, 0},
         "127.0.0.1 localhost\r\n2001:db8::1 v6terrace.lumio-net.jp # test site\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteWholeFile(hostsPath, c.hosts)) << hostsPath;
        if (!RunCase(V6TestSiteWorker, c.expected))
            continue;
        if (HasFatalFailure())
            return;
        EXPECT_EQ(state.progress, 100) << c.expected.scenario.name;
    }
}

TEST_F(OldSystemDiagnostics, NetworkRepairInstallsAndRenewsTheIpv6Stack)
{
    const Lines repair = {"netsh interface ipv6 show address", "netsh interface ipv6 install",
                          "netsh interface ipv6 show address", "netsh interface ipv6 renew"};
    const struct {
        Expected expected;
        Lines netsh;
    } cases[] = {
        {{{"reachable after the repair", 2}, 102, "HTTP Request Confirmation -> Success", 3}, repair},
        {{{"unreachable after the repair", -1}, 203, "HTTP Request Confirmation -> Failed", 3}, repair},
        {{{"stack install does not run", -1, false, "", "", Tool::None, "", "JARO", 0, 0, true, nullptr, nullptr,
           "install"},
          204, "IPv6 Address -> Stack Binding (WinXP Only) -> Failed", 2},
         {repair[0], repair[1]}},
        {{{"renew does not run", -1, false, "", "", Tool::None, "", "JARO", 0, 0, true, nullptr, nullptr, "renew"},
          207, "IPv6 Address -> Interface -> Renew -> Failed", 2},
         repair},
        // A stack that is there already is not installed again, on these systems too.
        {{{"link-local stack", -1, false, "", kLinkLocal}, 202, "IPv6 Address -> Stack Check -> Enable", 2},
         {repair[0]}},
    };
    for (const auto& c : cases) {
        if (!RunCase(NetworkRepairWorker, c.expected))
            continue;
        if (HasFatalFailure())
            return;
        EXPECT_EQ(CallsOf("netsh"), c.netsh) << c.expected.scenario.name;
    }
}

}  // namespace
