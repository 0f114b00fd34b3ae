#include "DiagnosticsWorkers.h"

#include <cstring>

#include "BoundedText.h"
#include "ConnectionToolDetection.h"
#include "ConnectionToolRegistry.h"
#include "DefaultDialUp.h"
#include "DnsClientSetting.h"
#include "HostsFileProbe.h"
#include "HttpReachability.h"
#include "Ipv6Probes.h"
#include "PevlinEnvironment.h"
#include "PevlinLog.h"
#include "PevlinPanel.h"
#include "PevlinSettings.h"
#include "PortalProfiles.h"
#include "RouterProbe.h"
#include "WorkerSteps.h"

namespace {

constexpr DWORD kRetryPause = 3000;

bool Reachable(const PevlinState& state)
{
    return CheckHttpReachable(state.CheckURL);
}

// Every try but the first waits first.
void PauseBeforeRetry(int attempt)
{
    if (attempt > 0)
        Sleep(kRetryPause);
}

// With several profiles the user picks one in the panel; false when aborted meanwhile.
bool ChooseProfile(CWorkerSteps& steps)
{
    PevlinState& state = steps.State();
    if (state.profileList.GetSize() == 1) {
        CopyBounded(state.profileName, state.profileList[0]);
        return true;
    }
    // Armed before the chooser shows: a Connect pressed the moment it appears clears the flag,
    // and arming it afterwards would lose that press and wait for ever.
    state.waitFlag = 1;
    FillProfileList(&state);
    ShowProfileChooser(&state, true);
    while (state.waitFlag) {
        if (steps.Aborted())
            return false;
        Sleep(10);
    }
    ShowProfileChooser(&state, false);
    return true;
}

void RunInternetCheck(CWorkerSteps& steps)
{
    PevlinState& state = steps.State();
    steps.Report(2000, 0, "インターネット接続有効性確認中...");
    for (int attempt = 0; attempt <= state.RetryNB; ++attempt) {
        PauseBeforeRetry(attempt);
        steps.Report(2003, 10, "インターネット接続有効性確認中...");
        if (Reachable(state))
            return steps.Result(101, "接続しました...");
        if (steps.Aborted())
            return;
    }

    steps.Report(2004, 20, "CTU検出中...");
    if (HasGlobalIPv6Address())
        return steps.Result(210, "CTUに接続設定がありません...");
    if (steps.Aborted())
        return;
    steps.Report(2005, 20, "ルータ検出中...");
    if (!NoRouterFound())
        return steps.Result(201, "ルータに接続設定がありません...");
    if (steps.Aborted())
        return;

    steps.Report(2006, 30, "ルミオ接続ツール検出中...");
    if (state.toolKind != 1 && state.toolKind != 2) {
        steps.Report(2005, 80, "ルミオ接続ツール検出中...");
        if (state.toolKind == 0)
            return steps.Result(202, "ルミオ接続ツールver1...");
        return steps.Result(203, "その他の接続方法...");
    }
    steps.Report(2007, 40, "ルミオ接続ツール検出中...");
    if (std::strcmp(state.CompanyCode, state.toolRegion) != 0)
        return steps.Result(205, "ルミオ接続ツールが適合しません...");
    if (steps.Aborted())
        return;
    steps.Report(2008, 50, "接続プロファイル検出中...");
    if (!CollectPortalProfiles(state) || state.profileList.GetSize() == 0)
        return steps.Result(207, "インターネットの接続プロファイルが存在しません...");
    if (steps.Aborted())
        return;
    if (!ChooseProfile(steps))
        return;

    steps.Report(2009, 60, "インターネットへ接続します...");
    BuildSessionArgument(state);
    const HANDLE connect = steps.Start(state.connectCommand);
    state.RtnCode = 0;
    steps.Update(70, connect ? "インターネットへの接続を試みます..." : "インターネットへ接続失敗...");
    WaitAndClose(connect);
    if (steps.SettleWait())
        return;
    for (int attempt = 0; attempt <= state.RetryNA1; ++attempt) {
        PauseBeforeRetry(attempt);
        steps.Report(2010, 80, "インターネット接続確認中...");
        if (Reachable(state))
            return steps.Result(102, "接続しました...");
        if (steps.Aborted())
            return;
    }
    steps.Result(204, "接続に失敗しました...");
}

// False when the process list could not be read: the run then ends without a result.
bool EnsureConnectionToolRuns(CWorkerSteps& steps)
{
    PevlinState& state = steps.State();
    if (state.osClass == 0)
        return true;
    bool running = false;
    if (!FindRunningConnectionTool(running, state.takeProcessSnapshot))
        return false;
    if (running)
        return true;
    steps.Report(1008, 45, "ルミオ接続ツールを起動中...", "TangoManager -> CreateProcess");
    const CString program = CString("\"") + state.toolProgramPath + "\"";
    if (const HANDLE tool = steps.Start(program))
        CloseHandle(tool);
    Sleep(5000);
    if (const HANDLE minimised = steps.Start(state.minimisedStartCommand))
        CloseHandle(minimised);
    Sleep(100);
    return true;
}

void RunPortalConnect(CWorkerSteps& steps)
{
    PevlinState& state = steps.State();
    const char* const success = "ルミオ・スクウェアに接続しました...";
    steps.Report(1000, 0, "ルミオ・スクウェアへの接続を確認中...", "HTTP Request Confirmation -> Try");
    for (int attempt = 0; attempt <= state.RetryNB; ++attempt) {
        PauseBeforeRetry(attempt);
        steps.Report(1003, 20, "ルミオ・スクウェアへの接続を確認中...", "HTTP Request Confirmation -> Retry");
        if (Reachable(state)) {
            steps.Trace("HTTP Request Confirmation -> Success");
            return steps.Result(101, success);
        }
        if (steps.Aborted())
            return;
    }

    steps.Report(1004, 25, "ルータ環境の調査を行っています...", "Detection of Router -> Start");
    if (!NoRouterFound()) {
        steps.Trace("User environment -> Router");
        for (int attempt = 0; attempt < 4; ++attempt) {
            PauseBeforeRetry(attempt);
            steps.Report(1003, 40 + 10 * attempt, "ルミオ・スクウェアへの接続を再度、確認中...",
                         "HTTP Request Confirmation -> Retry");
            if (Reachable(state)) {
                steps.Trace("HTTP Request Confirmation -> Success");
                return steps.Result(101, success);
            }
            if (steps.Aborted())
                return;
        }
        steps.Trace("User environment -> Router -> Non-Profile");
        return steps.Result(201, "ルータにルミオ・スクウェアの接続設定がありません...");
    }
    steps.Trace("User environment -> Non-Router");
    if (steps.Aborted())
        return;

    steps.Report(1005, 30, "ルミオ接続ツールを検出中...", "Search of LCTv2 -> Start");
    const int company = GetToolCompany();
    if (state.toolKind != 1 && state.toolKind != 2) {
        steps.Report(1006, 80, "ルミオ接続ツールを検出中...", "Search of LCTv2 -> Non-LCTv2");
        if (state.toolKind == 0) {
            steps.Trace("User environment -> LCTv1");
            return steps.Result(202, "ルミオ接続ツールが古いバージョンと認識しました...");
        }
        steps.Trace("User environment -> OS-PPPoE");
        return steps.Result(203, "ルミオ接続ツールが存在しませんでした...");
    }
    steps.Report(1007, 40, "ルミオ接続ツールを検出中...", "User environment -> LCTv2");
    if (company != 0) {
        steps.Trace("User environment -> LCTv2 for KELM");
        return steps.Result(205, "ルミオ接続ツールが正しく認識できませんでした...");
    }
    if (steps.Aborted())
        return;
    if (!EnsureConnectionToolRuns(steps))
        return;

    steps.Report(1008, 50, "ルミオ・スクウェアの接続プロファイル検出中...", "TangoManager -> SearchProcess");
    bool created = false;
    if (!HasPortalProfile(state)) {
        if (GetToolVersionKind() != 2) {
            steps.Trace("TangoManager -> Under ver2.2.5");
            return steps.Result(207, "ルミオ接続ツールでプロファイルを作成できません...");
        }
        steps.Report(1008, 55, "ルミオ・ニンブラルのプロファイル作成中...", "TangoManager -> CreateProfile");
        const HANDLE create = steps.Start(state.createProfileCommand);
        if (!create) {
            steps.Trace("TangoManager -> Not-CreateProfile");
            return steps.Result(204, "ルミオ・ニンブラルのプロファイルを作成できませんでした...");
        }
        WaitAndClose(create);
        Sleep(3000);
        created = true;
    }

    if (steps.Aborted())
        return;
    steps.Report(1009, 60, "ルミオ・スクウェアへ接続中...", "TangoManager -> ConnectProfile -> Start");
    BuildSessionArgument(state);
    const HANDLE connect = steps.Start(state.connectCommand);
    state.RtnCode = 0;
    if (connect) {
        steps.Trace("TangoManager -> ConnectProfile -> Wating");
        steps.Update(70, "ルミオ・スクウェアへの接続を試みます...");
    } else {
        steps.Trace("TangoManager -> ConnectProfile -> Failure");
        steps.Update(70, "ルミオ・スクウェアへ接続に失敗しました...");
    }
    WaitAndClose(connect);

    if (created && state.osClass == 3 && CPevlinSettings().VistaCloseWin()) {
        steps.Update(80, "Windows Vista 接続設定確認中...");
        steps.Trace("Vista Close Window -> Start");
        CloseLocationDialog();
        steps.Trace("Vista Close Window -> Success");
    }
    if (steps.SettleWait())
        return;
    for (int attempt = 0; attempt <= state.RetryNA1; ++attempt) {
        PauseBeforeRetry(attempt);
        steps.Report(1010, 80, "ルミオ・スクウェアへの接続確認中...", "TangoManager -> ConnectProfile -> Confirmation");
        if (Reachable(state)) {
            steps.Trace("TangoManager -> ConnectProfile -> Success");
            return steps.Result(102, success);
        }
        if (steps.Aborted())
            return;
    }
    steps.Trace("TangoManager -> ConnectProfile -> Failure");
    steps.Result(204, "ルミオ・スクウェアへの接続に失敗しました...");
}

void RunV6TestSite(CWorkerSteps& steps)
{
    steps.Report(3000, 0, "");
    steps.Report(3001, 30, "v6テラス接続有効性確認中...");
    if (!HasGlobalIPv6Address())
        return steps.Result(220, "IPv6アドレスが確認出来ませんでした...");
    if (steps.Aborted())
        return;
    steps.Report(3002, 60, "v6テラス名前解決確認中...");
    if (!HostsHasV6TestSite(steps.State()))
        return steps.Result(221, "名前解決が出来ませんでした...");
    if (steps.Aborted())
        return;
    steps.Report(3003, 90, "v6テラス サイト接続中...");
    steps.Result(104, "接続しました...");
}

// One retry loop of the network check: reachable gives code with text; false when the run
// ended (reachable or aborted).
bool NetworkRetryLoop(CWorkerSteps& steps, int retries, LONG retryCode, LONG retryBase, LONG code,
                      const char* text)
{
    for (int attempt = 0; attempt <= retries; ++attempt) {
        PauseBeforeRetry(attempt);
        if (attempt > 0)
            steps.Report(retryCode, retryBase + 5 * attempt, "ネットワークへの接続を再確認中...",
                         "HTTP Request Confirmation -> Retry");
        if (Reachable(steps.State())) {
            steps.Trace("HTTP Request Confirmation -> Success");
            steps.Result(code, text);
            return false;
        }
        if (steps.Aborted())
            return false;
    }
    return true;
}

void RunNetworkRepair(CWorkerSteps& steps, int retries)
{
    PevlinState& state = steps.State();
    const char* const checking = "ネットワークの接続性を確認中...";
    const char* const reached = "ネットワークに接続しました...";
    if (state.osClass == 3) {
        if (HasAddrConfigControl()) {
            steps.Trace("Dnscache Parameter Check -> Exist(AddrConfigControl)");
            steps.Update(2, checking);
        } else {
            steps.Trace("Dnscache Parameter Check -> NoExist(AddrConfigControl)");
            steps.Update(2, checking);
            if (SetAddrConfigControl()) {
                steps.Trace("Dnscache Parameter Setting -> AddrConfigControl");
                steps.Update(3, checking);
            }
        }
    }

    steps.Trace("Network Check -> ONU");
    steps.Update(5, checking);
    if (Reachable(state)) {
        steps.Trace("HTTP Request Confirmation -> Success");
        return steps.Result(101, reached);
    }
    bool dialled = false;
    if (!NoRouterFound()) {
        steps.Trace("User environment -> Router(HGW)");
    } else {
        steps.Trace("Network Check -> ONU -> PPPoE Setting");
        steps.Update(10, "PPPoE接続の設定を行っています...");
        if (!DialDefaultPPPoE()) {
            steps.Trace("Network Check -> ONU -> PPPoE Setting -> Failed");
            return steps.Result(211, "PPPoE接続の設定を行うことができませんでした...");
        }
        steps.Trace("Network Check -> ONU -> PPPoE Setting -> Success");
        dialled = true;
    }
    if (steps.Aborted())
        return;
    if (dialled && state.osClass == 3 && CPevlinSettings().VistaCloseWin()) {
        steps.Trace("Vista/7/8 Close Window -> Start");
        steps.Update(12, "Windows 接続設定確認中...");
        CloseLocationDialog();
        steps.Trace("Vista/7/8 Close Window -> Success");
    }

    steps.Report(4000, 15, "ネットワークへの接続を確認中...", "HTTP Request Confirmation -> Try");
    if (!NetworkRetryLoop(steps, retries, 4001, 20, 101, reached))
        return;

    steps.Report(4002, 40, "IPv6アドレスの有効性確認中...", "IPv6 Address -> Address Check");
    if (HasConfiguredIPv6Prefix()) {
        steps.Trace("IPv6 Address -> Address Check -> Exist");
        return steps.Result(201, "有効なIPv6アドレスが存在しますがアクセス出来ませんでした...");
    }
    state.RtnCode = 4003;
    steps.Trace("IPv6 Address -> Address Check -> NoExist");
    steps.Trace("IPv6 Address -> Stack Check");
    steps.Update(50, "IPv6スタックの有効性確認中...");
    if (HasIPv6LinkLocal()) {
        steps.Trace("IPv6 Address -> Stack Check -> Enable");
        return steps.Result(202, "有効なIPv6スタックが存在しますがアクセス出来ませんでした...");
    }
    if (state.osClass != 2) {
        steps.Trace("IPv6 Address -> Stack Binding (Not WinXP) -> Failed");
        return steps.Result(205, "IPv6スタックの設定に失敗しました...");
    }

    state.RtnCode = 4004;
    steps.Trace("IPv6 Address -> Stack Check -> Disable");
    steps.Trace("IPv6 Address -> Stack Binding (WinXP Only)");
    steps.Update(60, "IPv6スタックの設定中...");
    if (!InstallIPv6Protocol()) {
        steps.Trace("IPv6 Address -> Stack Binding (WinXP Only) -> Failed");
        return steps.Result(204, "IPv6スタックの設定に失敗しました...");
    }
    steps.Trace("IPv6 Address -> Stack Binding -> Confirmation");
    steps.Update(70, "IPv6スタックの設定確認中...");
    // The renew follows whatever the check finds.
    HasIPv6LinkLocal();
    steps.Trace("IPv6 Address -> Interface -> Renew");
    steps.Update(75, "IPv6インタフェイスを再開しています...");
    if (!RenewIPv6Interface()) {
        steps.Trace("IPv6 Address -> Interface -> Renew -> Failed");
        return steps.Result(207, "IPv6インタフェイスの再開に失敗しました...");
    }

    steps.Report(4005, 80, "ネットワークへの接続を確認中...", "HTTP Request Confirmation -> Try");
    if (!NetworkRetryLoop(steps, retries, 4006, 80, 102, reached))
        return;
    steps.Trace("HTTP Request Confirmation -> Failed");
    steps.Result(203, "ネットワークに接続に失敗しました...");
}

void Prepare(PevlinState& state, bool detectTool)
{
    if (detectTool)
        DetectConnectionTool(state);
    InitEnvironment(state);
    WriteLogHeader(state);
}

}  // namespace

unsigned __stdcall InternetCheckWorker(void* argument)
{
    PevlinState& state = *static_cast<PevlinState*>(argument);
    Prepare(state, true);
    CWorkerSteps steps(state, true);
    RunInternetCheck(steps);
    return 0;
}

unsigned __stdcall PortalConnectWorker(void* argument)
{
    PevlinState& state = *static_cast<PevlinState*>(argument);
    Prepare(state, true);
    CWorkerSteps steps(state, false);
    RunPortalConnect(steps);
    return 0;
}

unsigned __stdcall V6TestSiteWorker(void* argument)
{
    PevlinState& state = *static_cast<PevlinState*>(argument);
    Prepare(state, false);
    CWorkerSteps steps(state, true);
    RunV6TestSite(steps);
    return 0;
}

unsigned __stdcall NetworkRepairWorker(void* argument)
{
    PevlinState& state = *static_cast<PevlinState*>(argument);
    const int retries = CPevlinSettings().CheckRetryNumber();
    Prepare(state, true);
    CWorkerSteps steps(state, false);
    RunNetworkRepair(steps, retries);
    return 0;
}
