// Mutated console output, log lines, settings files, profile files, hosts files and URLs for
// the connection-check control's parsers: each must come back without a crash, a hang or a
// read or write outside its buffers.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "BoundedText.h"
#include "FuzzRun.h"
#include "GuardedBytes.h"
#include "HostsFileProbe.h"
#include "KavoTestPaths.h"
#include "LogLines.h"
#include "OutputLines.h"
#include "PevlinSettings.h"
#include "PortalProfiles.h"
#include "ProbeUrl.h"
#include "RouterProbe.h"

namespace {

std::vector<std::string> ConsoleSeeds()
{
    return {
        "\r\nWindows IP Configuration\r\n\r\nEthernet adapter LAN:\r\n"
        "   IPv6 Address. . . . . . . . . . . : 2001:a8f0:1:2::10\r\n"
        "   Link-local IPv6 Address . . . . . : fe80::1%11\r\n   IPv4 Address. . . : 192.0.2.10\r\n",
        "Querying active state...\r\r\n\r\r\nInterface 4: LAN\r\r\n"
        "Link       Preferred  infinite   infinite   fe80::2e0:18ff:fe01:2345\r\r\n",
        "\r\nインターフェイス: 192.0.2.10 --- 0xb\r\n  インターネット アドレス 物理アドレス 種類\r\n"
        "  192.0.2.1             00-11-22-33-44-55     動的\r\n",
        "Interface: 192.0.2.10 --- 0xb\r\n  Internet Address      Physical Address      Type\r\nno end",
    };
}

std::vector<std::string> LogSeeds()
{
    return {
        "== Start: Analyzing AxPevlin at 2012/08/08 09:05:03 ================\n",
        "==   End: Analyzing AxPevlin at 2026/12/31 23:59:59 ================\r\n",
        "[AxPevlin]\t\t: version 5.4.0.2 kelm\n",
        "[OS Name ]\t\t: Windows 7\n",
        "Trace Log  -01:02:03\t:ルミオ接続ツール -> 検出\n",
        "Error Level-12:00:00\t:250\n",
        "Error Level-12:00:00\t:-2147483648\n",
    };
}

std::vector<std::string> SettingsSeeds()
{
    return {
        "[ExecuteVELDIN]\r\ncheckRetryNumber=4\r\nIPv6Address=2001:db8\r\npppoe_userid=user@example\r\n"
        "pppoe_passwd=パスワード\r\n[COMMON]\r\nVistaCloseWin=true\r\n",
        "[COMMON]\r\nVistaCloseWin=FALSE\r\n[ExecuteVELDIN]\r\ncheckRetryNumber=abc\r\n",
    };
}

std::vector<std::string> LineSeeds()
{
    return {
        "[Profile_ルミオ・スクウェア]\r\n[Profile_ルミオ・ゾーン]\r\n[Profile_\r\n[Profile_]",
        "2001:db8::80 v6terrace.lumio-net.jp # site\r\n#2001:db8::80 v6terrace.lumio-net.jp\n",
        "http://127.0.0.1:8080/path",
        "https://[::1]:8443/contents/security/kavo/ipv6/connect_k.html",
        "http://relay.example/?next=https://other.example/",
    };
}

constexpr size_t kLineSize = 64;

std::string TempPath(const char* name)
{
    return TempFolder() + "\\kavo-fuzz-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

TEST(PevlinParserFuzz, ConsoleOutputSurvivesMutatedText)
{
    // The line buffer too ends at a guard page, so a write behind it faults.
    char* line = static_cast<char*>(AllocateBeforeGuard(kLineSize));
    ASSERT_NE(line, nullptr);
    CFuzzRun run("pevlin-console", ConsoleSeeds(), 0x5EB11C05, 5000);
    run.Run([line](const std::string& input) {
        const CGuardedBytes text(input, true);
        for (const char* cursor = text.Data(); (cursor = NextOutputLine(cursor, line, kLineSize));)
            ASSERT_LT(std::strlen(line), kLineSize);
        AnyOutputLineContains(text.Data(), "fe80:");
        ArpOutputShowsEntry(text.Data());
    });
    FreeBeforeGuard(line);
}

TEST(PevlinParserFuzz, LogLinesSurviveMutatedText)
{
    CFuzzRun run("pevlin-log", LogSeeds(), 0x5EB1106, 5000);
    run.Run([](const std::string& input) {
        const CGuardedBytes text(input, true);
        ParseLogLine(text.Data());
    });
}

TEST(PevlinParserFuzz, SettingsFileSurvivesMutatedFiles)
{
    const std::string path = TempPath("Axpevlin.ini");
    CFuzzRun run("pevlin-settings", SettingsSeeds(), 0x5EB115E7, 300);
    run.Run([&path](const std::string& input) {
        ASSERT_TRUE(WriteWholeFile(path, input));
        const CPevlinSettings settings(path.c_str());
        settings.CheckRetryNumber();
        EXPECT_LE(settings.IPv6Address().GetLength(), 255);
        EXPECT_LE(settings.PppoeUserId().GetLength(), 127);
        EXPECT_LE(settings.PppoePassword().GetLength(), 127);
        settings.VistaCloseWin();
    });
    DeleteFileA(path.c_str());
}

TEST(PevlinParserFuzz, ProfileHostsAndUrlTextsSurviveMutatedText)
{
    CFuzzRun run("pevlin-lines", LineSeeds(), 0x5EB11F11, 5000);
    run.Run([](const std::string& input) {
        const CGuardedBytes text(input, true);
        CString name;
        ProfileNameFromLine(text.Data(), name);
        HostsLineMapsHost(text.Data(), "v6terrace.lumio-net.jp");
        ProbeUrl parts;
        ParseProbeUrl(text.Data(), parts);
    });
}

TEST(PevlinParserFuzz, ProfileAndHostsFilesSurviveMutatedFiles)
{
    const std::string path = TempPath("profiles.dat");
    CFuzzRun run("pevlin-files", LineSeeds(), 0x5EB11F1E, 600);
    run.Run([&path](const std::string& input) {
        ASSERT_TRUE(WriteWholeFile(path, input));
        PevlinState state;
        CopyBounded(state.profileFilePath, path.c_str());
        CopyBounded(state.hostsFilePath, path.c_str());
        CopyBounded(state.profileName, "ルミオ・スクウェア");
        for (const char* companyCode : {"JARO", "KELM"}) {
            state.CompanyCode = companyCode;
            CollectPortalProfiles(state);
        }
        HasPortalProfile(state);
        HostsHasV6TestSite(state);
    });
    DeleteFileA(path.c_str());
}

}  // namespace
