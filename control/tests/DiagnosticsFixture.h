#pragma once
// The diagnostics against the probe tests' fakes: the console tools, the remote-access
// library and the connection tool beside the test program, the connection tool's registry keys
// in this prefix and the check page on the local fake server. A scenario scripts the fakes; a
// case expects the result code a page reads and the log the run wrote.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BoundedText.h"
#include "CRegKey.h"
#include "ConnectionToolRegistry.h"
#include "FakeServer.h"
#include "FakeTools.h"
#include "KavoTestPaths.h"
#include "LogLines.h"
#include "PevlinState.h"
#include "PevlinWorkers.h"
#include "RouterProbe.h"

using Lines = std::vector<std::string>;

inline constexpr const char kDnsClientKey[] = "system\\currentcontrolset\\services\\dnscache\\parameters";
inline constexpr const char kCheckPath[] = "/diagnostics/check.html";
inline constexpr const char kGlobalIpv6[] = "   IPv6 Address. . . . . : 2001:db8::5\r\n";
inline constexpr const char kConfiguredPrefix[] = "   IPv6 Address. . . . . : 2001:a::5\r\n";
inline constexpr const char kLinkLocal[] = "Addr Type  DAD State  Address\r\nPublic     Preferred  fe80::1\r\n";
inline constexpr const char kArpEntry[] =
    "  Internet Address      Physical Address      Type\r\n  192.0.2.1  00-11-22-33-44-55  dynamic\r\n";
inline constexpr const char kNoArpEntry[] = "No ARP Entries Found.\r\n";

enum class Tool { None, Old, Jaro12, Jaro22, Kelm22 };

struct Scenario {
    const char* name;
    // Failed check requests before the page answers; -1: it never does.
    int failuresBeforeReachable = -1;
    bool router = false;
    const char* ipconfig = "";
    const char* netshAddresses = "";
    Tool tool = Tool::None;
    // Lines of the connection tool's profile file.
    const char* profiles = "";
    const char* companyCode = "JARO";
    LONG retryNB = 0;
    LONG retryNA1 = 0;
    bool toolRunning = true;
    const char* rasDial = nullptr;
    const char* settings = nullptr;
    // The last word of a netsh command ("install", "renew") that ends as if still running,
    // which the control takes for a command that did not run.
    const char* netshFails = nullptr;
};

inline void RemoveToolKeys()
{
    CRegKey software;
    if (software.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_ALL_ACCESS) == ERROR_SUCCESS)
        software.RecurseDeleteKey("Efficient Networks");
}

inline bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

inline bool MachineHasGateway()
{
    const CSimpleArray<CString> gateways = ReadGatewayTexts();
    for (int i = 0; i < gateways.GetSize(); ++i)
        if (!gateways[i].IsEmpty())
            return true;
    return false;
}

struct Expected;

class Diagnostics : public FakeToolsTest {
protected:
    void SetUp() override
    {
        FakeToolsTest::SetUp();
        if (HasFatalFailure())
            return;
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr);
        ASSERT_TRUE(server->Reset());
        RemoveToolKeys();
        root = MakeTestFolder("workers");
        toolFolder = root + "\\Connection Tool";
        program = toolFolder + "\\app\\TangoManager.exe";
        logFolder = root + "\\log";
        CreateDirectoryA(logFolder.c_str(), nullptr);
        // The network check writes the DNS client's value on Vista and later; the prefix's
        // own is put back afterwards.
        ASSERT_EQ(dnsKey.Create(HKEY_LOCAL_MACHINE, kDnsClientKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
        hadDnsValue = dnsKey.QueryDWORDValue("AddrConfigControl", dnsValue) == ERROR_SUCCESS;
    }
    void TearDown() override
    {
        Release("runningtangomanager");
        WaitAndCloseTool();
        RemoveToolKeys();
        if (hadDnsValue)
            dnsKey.SetDWORDValue("AddrConfigControl", dnsValue);
        else
            dnsKey.DeleteValue("AddrConfigControl");
        DeleteFileA(SettingsPath().c_str());
        RemoveTestFolder(root);
        FakeToolsTest::TearDown();
    }

    static std::string SettingsPath() { return TestBinFolder() + "\\Axpevlin.ini"; }

    void Script(const Scenario& s)
    {
        ClearCalls();
        ASSERT_TRUE(server->Reset());
        if (s.failuresBeforeReachable >= 0) {
            ASSERT_TRUE(server->Route(kCheckPath, "ok"));
            if (s.failuresBeforeReachable > 0) {
                ASSERT_TRUE(server->Fail(kCheckPath, "404", s.failuresBeforeReachable));
            }
        }
        SetOutput("arp", s.router ? kArpEntry : kNoArpEntry);
        SetOutput("ipconfig", s.ipconfig);
        SetOutput("netsh", s.netshAddresses);
        for (const char* word : {"install", "renew"})
            DeleteFileA((Folder() + "\\netsh." + word + ".exit").c_str());
        if (s.netshFails)
            SetExitCode(std::string("netsh.") + s.netshFails, STILL_ACTIVE);
        SetEnvironmentVariableA("PEVLIN_FAKE_RASDIAL", s.rasDial);
        // Written each time rather than removed: the system keeps the last settings file it
        // read, and a removed one can still answer from there.
        ASSERT_TRUE(WriteWholeFile(SettingsPath(), s.settings ? s.settings : "[ExecuteVELDIN]\r\ncheckRetryNumber=0\r\n"));
        InstallTool(s.tool, s.profiles);
        ASSERT_TRUE(WriteWholeFile(logFolder + "\\axpevlin.log", ""));

        state.CheckURL = server->Url(kCheckPath).c_str();
        state.LogPath = logFolder.c_str();
        state.CompanyCode = s.companyCode;
        state.RetryNB = s.retryNB;
        state.RetryNA1 = s.retryNA1;
        state.RtnCode = -1;
        state.abortFlag = 0;
        state.traceText = "";
        if (s.tool != Tool::None && s.tool != Tool::Old && s.toolRunning)
            StartTool();
    }

    void InstallTool(Tool tool, const char* profiles)
    {
        Release("runningtangomanager");
        WaitAndCloseTool();
        RemoveToolKeys();
        if (tool == Tool::None)
            return;
        CRegKey key;
        if (tool == Tool::Old) {
            ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kOldConnectionToolKey), ERROR_SUCCESS);
            return;
        }
        CreateDirectoryA(toolFolder.c_str(), nullptr);
        CreateDirectoryA((toolFolder + "\\app").c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((TestBinFolder() + "\\pevlin_fake_tool.exe").c_str(), program.c_str(), FALSE));
        ASSERT_TRUE(WriteWholeFile(toolFolder + "\\app\\TangoManager.ini", "[INIFILE]\r\nFilename=profiles.dat\r\n"));
        ASSERT_TRUE(WriteWholeFile(toolFolder + "\\app\\profiles.dat", profiles));
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kConnectionToolKey), ERROR_SUCCESS);
        ASSERT_EQ(key.SetStringValue("Version", tool == Tool::Jaro12 ? "1.2.5" : "2.2.5"), ERROR_SUCCESS);
        ASSERT_EQ(key.SetStringValue("CompanyName", tool == Tool::Kelm22 ? "KRVK" : "KRVJ"), ERROR_SUCCESS);
        ASSERT_EQ(key.SetStringValue("Path", toolFolder.c_str()), ERROR_SUCCESS);
    }

    // A program of the tool kept running, as the worker finds it when the user started the
    // tool. Its own name keeps it apart from the program the worker starts.
    void StartTool()
    {
        const std::string running = toolFolder + "\\app\\RunningTangoManager.exe";
        ASSERT_TRUE(CopyFileA(program.c_str(), running.c_str(), FALSE));
        Hold("runningtangomanager");
        std::string line = "\"" + running + "\"";
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION started = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
        CloseHandle(started.hThread);
        runningTool = started.hProcess;
        for (int i = 0; i < 200 && CallsOf("runningtangomanager").empty(); ++i)
            Sleep(10);
        ClearCalls();
    }
    void WaitAndCloseTool()
    {
        if (!runningTool)
            return;
        WaitForSingleObject(runningTool, 25000);
        CloseHandle(runningTool);
        runningTool = nullptr;
    }

    LONG Run(PevlinWorker worker)
    {
        worker(&state);
        return state.RtnCode;
    }

    // Scripts the fakes for c, runs worker and checks what every case shows: the result
    // code, the check requests, the log's error level and, where given, the last trace.
    // False when this machine cannot set the case up (it is reported as skipped); the
    // caller ends on a fatal failure of the set-up.
    bool RunCase(PevlinWorker worker, const Expected& c);

    // The trace texts of the log, and the code of its last "Error Level" line (-1: none).
    Lines Traces(LONG* errorLevel = nullptr) const
    {
        Lines traces;
        if (errorLevel)
            *errorLevel = -1;
        for (const std::string& line : ReadLines(logFolder + "\\axpevlin.log")) {
            const LogLine parsed = ParseLogLine(line.c_str());
            if (parsed.kind == LogLineKind::Trace)
                traces.push_back(parsed.text.GetString());
            if (parsed.kind == LogLineKind::ErrorLevel && errorLevel)
                *errorLevel = parsed.code;
        }
        return traces;
    }

    std::string Quoted() const { return "\"" + program + "\""; }

    FakeServer* server = nullptr;
    std::string root, toolFolder, program, logFolder;
    HANDLE runningTool = nullptr;
    CRegKey dnsKey;
    bool hadDnsValue = false;
    DWORD dnsValue = 0;
    PevlinState state;
};

struct Expected {
    Scenario scenario;
    LONG code;
    // The last trace text of the log (for the workers that set their own).
    const char* lastTrace;
    // Check requests the run made; -1: not counted.
    int hits;
};

// A router is found only through this machine's own gateways (the fake arp answers for
// them); without one, the cases that need a router cannot be set up here.
inline bool CannotScript(const Scenario& s)
{
    static const bool gateway = MachineHasGateway();
    return s.router && !gateway;
}

inline bool Diagnostics::RunCase(PevlinWorker worker, const Expected& c)
{
    if (CannotScript(c.scenario)) {
        std::printf("[ SKIPPED  ] %s: this machine has no gateway\n", c.scenario.name);
        return false;
    }
    Script(c.scenario);
    if (HasFatalFailure())
        return true;
    EXPECT_EQ(Run(worker), c.code) << c.scenario.name;
    if (c.hits >= 0) {
        EXPECT_EQ(server->Hits(kCheckPath), c.hits) << c.scenario.name;
    }
    LONG logged = 0;
    const Lines traces = Traces(&logged);
    EXPECT_EQ(logged, c.code) << c.scenario.name;
    if (c.lastTrace) {
        EXPECT_FALSE(traces.empty()) << c.scenario.name;
        if (!traces.empty()) {
            EXPECT_EQ(traces.back(), c.lastTrace) << c.scenario.name;
        }
    }
    return true;
}

inline constexpr const char kOneProfile[] = "[General]\r\n[Profile_自宅]\r\nUser=a\r\n";
inline constexpr const char kTwoProfiles[] = "[Profile_自宅]\r\n[Profile_実家]\r\n";
inline constexpr const char kPortalProfile[] = "[Profile_ルミオ・ニンブラル]\r\n";
// Only the profile a JARO region leaves out.
inline constexpr const char kNoOfferedProfile[] = "[Profile_ルミオ・スクウェア接続]\r\n";
