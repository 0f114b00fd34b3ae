// The four diagnostics run against the probe tests' fakes: the console tools, the
// remote-access library and the connection tool beside this program, the connection tool's
// registry keys in this prefix and the check page on the local fake server. Each scenario
// scripts the fakes and expects the result code a page reads, and the log the run wrote.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <string>
#include <vector>

#include "AxPevlinResource.h"
#include "BoundedText.h"
#include "CRegKey.h"
#include "ConnectionToolRegistry.h"
#include "ControlTestSupport.h"
#include "Cpevlin.h"
#include "DiagnosticsWorkers.h"
#include "FakeServer.h"
#include "FakeTools.h"
#include "LogLines.h"
#include "PevlinWorkers.h"
#include "RouterProbe.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char kDnsClientKey[] = "system\\currentcontrolset\\services\\dnscache\\parameters";
constexpr const char kCheckPath[] = "/diagnostics/check.html";
constexpr const char kGlobalIpv6[] = "   IPv6 Address. . . . . : 2001:db8::5\r\n";
constexpr const char kConfiguredPrefix[] = "   IPv6 Address. . . . . : 2001:a::5\r\n";
constexpr const char kLinkLocal[] = "Addr Type  DAD State  Address\r\nPublic     Preferred  fe80::1\r\n";
constexpr const char kArpEntry[] =
    "  Internet Address      Physical Address      Type\r\n  192.0.2.1  00-11-22-33-44-55  dynamic\r\n";
constexpr const char kNoArpEntry[] = "No ARP Entries Found.\r\n";

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
};

void RemoveToolKeys()
{
    CRegKey software;
    if (software.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_ALL_ACCESS) == ERROR_SUCCESS)
        software.RecurseDeleteKey("Efficient Networks");
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool MachineHasGateway()
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
bool CannotScript(const Scenario& s)
{
    static const bool gateway = MachineHasGateway();
    return s.router && !gateway;
}

bool Diagnostics::RunCase(PevlinWorker worker, const Expected& c)
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

const char kOneProfile[] = "[General]\r\n[Profile_自宅]\r\nUser=a\r\n";
const char kTwoProfiles[] = "[Profile_自宅]\r\n[Profile_実家]\r\n";
const char kPortalProfile[] = "[Profile_ルミオ・ニンブラル]\r\n";
// Only the profile a JARO region leaves out.
const char kNoOfferedProfile[] = "[Profile_ルミオ・スクウェア接続]\r\n";

TEST_F(Diagnostics, InternetCheckEndsWithTheCodeOfWhatItFound)
{
    const Expected cases[] = {
        {{"reachable at once", 0}, 101, nullptr, 1},
        {{"no first check with RetryNB -1, IPv6 global address", -1, false, kGlobalIpv6, "", Tool::None, "", "JARO", -1},
         210, nullptr, 0},
        {{"second try reachable", 1, false, "", "", Tool::None, "", "JARO", 1}, 101, nullptr, 2},
        {{"router answers", -1, true}, 201, nullptr, 1},
        {{"old tool only", -1, false, "", "", Tool::Old}, 202, nullptr, 1},
        {{"no tool", -1}, 203, nullptr, 1},
        {{"KELM tool for JARO", -1, false, "", "", Tool::Kelm22, kOneProfile}, 205, nullptr, 1},
        {{"JARO tool for an unknown code", -1, false, "", "", Tool::Jaro22, kOneProfile, "XXXX"}, 205, nullptr, 1},
        {{"no profile the region offers", -1, false, "", "", Tool::Jaro22, kNoOfferedProfile}, 207, nullptr, 1},
        {{"reachable after connecting", 1, false, "", "", Tool::Jaro12, kOneProfile}, 102, nullptr, 2},
        {{"no final tries with RetryNA1 -1", 1, false, "", "", Tool::Jaro22, kOneProfile, "JARO", 0, -1}, 204, nullptr,
         1},
    };
    for (const Expected& c : cases) {
        if (!RunCase(InternetCheckWorker, c))
            continue;
        if (HasFatalFailure())
            return;
        EXPECT_EQ(state.progress, 100) << c.scenario.name;
        const Lines connects = CallsOf("tangomanager");
        if (c.code == 102 || c.code == 204) {
            // The one profile, named after the tool's session argument.
            ASSERT_EQ(connects.size(), 1u) << c.scenario.name;
            EXPECT_EQ(connects[0].rfind(Quoted() + " -session=", 0), 0u) << connects[0];
            EXPECT_TRUE(EndsWith(connects[0], "]自宅]")) << connects[0];
            EXPECT_STREQ(state.profileName, "自宅") << c.scenario.name;
        } else {
            EXPECT_EQ(connects, Lines{}) << c.scenario.name;
        }
    }
}

TEST_F(Diagnostics, PortalConnectEndsWithTheCodeOfWhatItFound)
{
    const Expected cases[] = {
        {{"reachable at once", 0}, 101, "HTTP Request Confirmation -> Success", 1},
        {{"router answers, portal stays away", -1, true}, 201, "User environment -> Router -> Non-Profile", 5},
        {{"old tool only", -1, false, "", "", Tool::Old}, 202, "User environment -> LCTv1", 1},
        {{"no tool", -1}, 203, "User environment -> OS-PPPoE", 1},
        {{"tool of KRVK", -1, false, "", "", Tool::Kelm22, kPortalProfile, "KELM"}, 205,
         "User environment -> LCTv2 for KELM", 1},
        {{"no portal profile, tool too old to make it", -1, false, "", "", Tool::Jaro12, kOneProfile}, 207,
         "TangoManager -> Under ver2.2.5", 1},
        {{"portal profile made, then reachable", 1, false, "", "", Tool::Jaro22, kOneProfile}, 102,
         "TangoManager -> ConnectProfile -> Success", 2},
        {{"portal profile there, no final tries", -1, false, "", "", Tool::Jaro22, kPortalProfile, "JARO", 0, -1}, 204,
         "TangoManager -> ConnectProfile -> Failure", 1},
    };
    for (const Expected& c : cases) {
        if (!RunCase(PortalConnectWorker, c))
            continue;
        if (HasFatalFailure())
            return;
        const Lines tool = CallsOf("tangomanager");
        if (c.code == 102) {
            const Lines expected = {
                Quoted() + " -create profile -name ルミオ・ニンブラル -username \"square-guest\" -password \"pomel\" "
                           "-routeserver \"http://rs.square.lumio-net.jp/routing.html\"",
                Quoted() + " -session=ルミオ・ニンブラル]ルミオ・ニンブラル]"};
            EXPECT_EQ(tool, expected) << c.scenario.name;
        } else if (c.code == 204) {
            EXPECT_EQ(tool, Lines{Quoted() + " -session=ルミオ・ニンブラル]ルミオ・ニンブラル]"}) << c.scenario.name;
        } else {
            EXPECT_EQ(tool, Lines{}) << c.scenario.name;
        }
    }
}

TEST_F(Diagnostics, PortalConnectStartsTheToolWhenItDoesNotRun)
{
    Scenario s{"tool not running", -1, false, "", "", Tool::Jaro22, kPortalProfile, "JARO", 0, -1};
    s.toolRunning = false;
    Script(s);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(Run(PortalConnectWorker), 204);
    const Lines expected = {Quoted(), Quoted() + " -min", Quoted() + " -session=ルミオ・ニンブラル]ルミオ・ニンブラル]"};
    EXPECT_EQ(CallsOf("tangomanager"), expected);
    const Lines traces = Traces();
    EXPECT_NE(std::find(traces.begin(), traces.end(), "TangoManager -> CreateProcess"), traces.end());
}

TEST_F(Diagnostics, V6TestSiteNeedsAGlobalAddressAndTheHostsEntry)
{
    const Expected cases[] = {
        {{"no global address", -1}, 220, nullptr, 0},
        // This system keeps no hosts file the control reads (Vista and later).
        {{"global address, no hosts file", -1, false, kGlobalIpv6}, 221, nullptr, 0},
    };
    for (const Expected& c : cases) {
        if (!RunCase(V6TestSiteWorker, c))
            continue;
        if (HasFatalFailure())
            return;
    }
}

TEST_F(Diagnostics, NetworkRepairEndsWithTheCodeOfWhatItFound)
{
    const char* retryTwice = "[ExecuteVELDIN]\r\ncheckRetryNumber=1\r\n";
    const Expected cases[] = {
        {{"reachable at once", 0}, 101, "HTTP Request Confirmation -> Success", 1},
        {{"reachable after the default dial-up", 1}, 101, "HTTP Request Confirmation -> Success", 2},
        {{"dial-up fails", -1, false, "", "", Tool::None, "", "JARO", 0, 0, true, "691"}, 211,
         "Network Check -> ONU -> PPPoE Setting -> Failed", 1},
        {{"configured address, retried", -1, false, kConfiguredPrefix, "", Tool::None, "", "JARO", 0, 0, true, nullptr,
          retryTwice},
         201, "IPv6 Address -> Address Check -> Exist", 3},
        {{"router, link-local stack", -1, true, kGlobalIpv6, kLinkLocal}, 202, "IPv6 Address -> Stack Check -> Enable", 2},
        {{"no stack on this system", -1}, 205, "IPv6 Address -> Stack Binding (Not WinXP) -> Failed", 2},
    };
    for (const Expected& c : cases) {
        if (!RunCase(NetworkRepairWorker, c))
            continue;
        if (HasFatalFailure())
            return;
        // The default account is dialled only where no router answered.
        const bool dialled = !c.scenario.router && c.scenario.failuresBeforeReachable != 0;
        EXPECT_EQ(!RasCalls().empty(), dialled) << c.scenario.name;
    }
}

// What the page side does while the frame pumps: run from a timer of the test's thread.
std::function<void()>* g_pageAction = nullptr;

void CALLBACK OnPageTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pageAction)
        (*g_pageAction)();
}

// The control hosted by its class id and scripted by name, as the page does.
class HostedDiagnostics : public Diagnostics {
protected:
    void SetUp() override
    {
        Diagnostics::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_EQ(CoRegisterClassObject(kClsidPevlin, PevlinClassFactory(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                        &registration),
                  S_OK);
        host = new ControlHost();
        ASSERT_NE(host->Dispatch(), nullptr);
        panel = host->Panel();
        ASSERT_NE(panel, nullptr);
    }
    void TearDown() override
    {
        g_pageAction = nullptr;
        delete host;
        if (registration)
            CoRevokeClassObject(registration);
        OleUninitialize();
        Diagnostics::TearDown();
    }

    // The scenario's properties put by name, the method called while action runs every
    // 10 ms; the RtnCode read by name afterwards.
    LONG Execute(const wchar_t* method, const Scenario& s, std::function<void()> action)
    {
        Script(s);
        for (const auto& put : std::vector<std::pair<const wchar_t*, CComVariant>>{
                 {L"CheckURL", CComVariant(Wide(state.CheckURL).c_str())},
                 {L"LogPath", CComVariant(Wide(state.LogPath).c_str())},
                 {L"CompanyCode", CComVariant(Wide(state.CompanyCode).c_str())},
                 {L"RetryNB", CComVariant(int(s.retryNB))},
                 {L"RetryNA1", CComVariant(int(s.retryNA1))}}) {
            CComVariant value(put.second);
            EXPECT_EQ(CallByName(host->Dispatch(), put.first, DISPATCH_PROPERTYPUT, &value), S_OK);
        }
        g_pageAction = &action;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, OnPageTimer);
        EXPECT_EQ(CallByName(host->Dispatch(), method, DISPATCH_METHOD), S_OK);
        KillTimer(nullptr, timer);
        g_pageAction = nullptr;
        CComVariant code;
        EXPECT_EQ(CallByName(host->Dispatch(), L"RtnCode", DISPATCH_PROPERTYGET, nullptr, &code), S_OK);
        return code.lVal;
    }

    LONG StepCode()
    {
        CComVariant code;
        CallByName(host->Dispatch(), L"RtnCode", DISPATCH_PROPERTYGET, nullptr, &code);
        return code.lVal;
    }
    void Click(int id) { SendMessageA(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(panel, id))); }
    std::string StatusText()
    {
        char text[256] = {};
        GetDlgItemTextA(panel, IDC_PEVLIN_STATUS, text, sizeof text);
        return text;
    }

    ControlHost* host = nullptr;
    HWND panel = nullptr;
    DWORD registration = 0;
};

TEST_F(HostedDiagnostics, ProfileChooserWaitsForTheUsersConnectOrAbort)
{
    const struct {
        const char* name;
        int button;
        LONG code;
        Lines connects;
    } cases[] = {
        {"second profile connected", IDC_PEVLIN_CONNECT, 102, {"]実家]"}},
        {"aborted while choosing", IDC_PEVLIN_ABORT, 250, {}},
    };
    for (const auto& c : cases) {
        bool chooserSeen = false;
        const LONG code = Execute(L"ExecuteISP",
                                  {"two profiles", 1, false, "", "", Tool::Jaro22, kTwoProfiles},
                                  [&] {
                                      HWND list = GetDlgItem(panel, IDC_PEVLIN_PROFILES);
                                      if (chooserSeen || !Shown(list) || StepCode() != 2008)
                                          return;
                                      chooserSeen = true;
                                      EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2) << c.name;
                                      EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0) << c.name;
                                      SendMessageA(list, LB_SETCURSEL, 1, 0);
                                      Click(c.button);
                                  });
        EXPECT_TRUE(chooserSeen) << c.name;
        EXPECT_EQ(code, c.code) << c.name;
        EXPECT_FALSE(Shown(GetDlgItem(panel, IDC_PEVLIN_PROFILES))) << c.name;
        const Lines connects = CallsOf("tangomanager");
        ASSERT_EQ(connects.size(), c.connects.size()) << c.name;
        if (!connects.empty()) {
            EXPECT_TRUE(EndsWith(connects[0], c.connects[0])) << connects[0];
        }
    }
}

TEST_F(HostedDiagnostics, AbortButtonEndsTheRunAtTheNextCheck)
{
    const struct {
        const wchar_t* method;
        const char* status;
        const char* lastTrace;
    } cases[] = {
        {L"ExecuteISP", "中断しました...", nullptr},
        {L"ExecuteLSQ", "処理を中断しました...", "Processing discontinuance"},
    };
    for (const auto& c : cases) {
        Scenario s{"unreachable, many tries", -1};
        s.retryNB = 5;
        bool pressed = false;
        const LONG code = Execute(c.method, s, [&] {
            if (!pressed && (StepCode() == 2003 || StepCode() == 1003)) {
                pressed = true;
                Click(IDC_PEVLIN_ABORT);
            }
        });
        EXPECT_EQ(code, 250) << c.status;
        EXPECT_EQ(StatusText(), c.status);
        // Pressed during the first try or the pause after it: seen at the next check, not after
        // all six tries.
        EXPECT_LE(server->Hits(kCheckPath), 2) << c.status;
        LONG logged = 0;
        const Lines traces = Traces(&logged);
        EXPECT_EQ(logged, 250) << c.status;
        if (c.lastTrace) {
            ASSERT_FALSE(traces.empty());
            EXPECT_EQ(traces.back(), c.lastTrace);
        }
    }
}

}  // namespace
