// The four diagnostics run against the probe tests' fakes: the console tools, the
// remote-access library and the connection tool beside this program, the connection tool's
// registry keys in this prefix and the check page on the local fake server. Each scenario
// scripts the fakes and expects the result code a page reads, and the log the run wrote.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "AxPevlinResource.h"
#include "ControlTestSupport.h"
#include "Cpevlin.h"
#include "DiagnosticsFixture.h"
#include "DiagnosticsWorkers.h"
#include "WorkerSteps.h"

namespace {

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

HANDLE WINAPI NoProcessList(DWORD, DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
}

// The profile-creating command cannot be started; every other command starts as usual.
HANDLE NoProfileCreation(const char* commandLine)
{
    return std::strstr(commandLine, " -create profile ") ? nullptr : StartHidden(commandLine);
}

TEST_F(Diagnostics, PortalConnectStopsWhereTheSystemFailsIt)
{
    const struct {
        const char* name;
        HANDLE(WINAPI* snapshot)(DWORD, DWORD);
        HANDLE (*start)(const char*);
        LONG code;
        // The run's final report: its "Error Level" line; -1: the run wrote none.
        LONG logged;
        const char* lastTrace;
    } cases[] = {
        // The worker cannot tell whether the tool runs: it ends at once, without a result.
        {"process list unavailable", NoProcessList, nullptr, 1007, -1, "User environment -> LCTv2"},
        {"profile creation does not start", nullptr, NoProfileCreation, 204, 204, "TangoManager -> Not-CreateProfile"},
    };
    for (const auto& c : cases) {
        Script({c.name, -1, false, "", "", Tool::Jaro22, kOneProfile});
        ASSERT_FALSE(HasFatalFailure());
        state.takeProcessSnapshot = c.snapshot;
        state.startProcess = c.start;
        EXPECT_EQ(Run(PortalConnectWorker), c.code) << c.name;
        state.takeProcessSnapshot = nullptr;
        state.startProcess = nullptr;
        LONG logged = 0;
        const Lines traces = Traces(&logged);
        EXPECT_EQ(logged, c.logged) << c.name;
        ASSERT_FALSE(traces.empty()) << c.name;
        EXPECT_EQ(traces.back(), c.lastTrace) << c.name;
        // Nothing of the tool was started: no connect after a failed step.
        EXPECT_EQ(CallsOf("tangomanager"), Lines{}) << c.name;
        EXPECT_EQ(server->Hits(kCheckPath), 1) << c.name;
    }
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
