#include "CInstallDialog.h"

#include <new>

#include "AutoFlow.h"
#include "CAtlModule.h"
#include "COpsRequest.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "InstallState.h"
#include "PageTexts.h"
#include "RunOnceAutorun.h"
#include "pages/CErrorDialog.h"
#include "pages/CInstallFailedDialog.h"
#include "pages/CPostInstallDialog.h"
#include "pages/CPostUpgradeDialog.h"
#include "pages/CSignupDialog.h"
#include "pages/CUpgradeFailedDialog.h"

// No browser control: the page shows its progress or result in plain controls.
namespace {

// The percent text comes from downloaded definitions: it may only hold "%%" and at most one
// integer conversion, or a stray "%s" or "%n" would read or write through the number.
bool TakesOneNumberAtMost(const char* format)
{
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        if (*++p == '%')
            continue;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '0' || *p == '#')
            ++p;
        while (*p >= '0' && *p <= '9')
            ++p;
        if (*p == '.')
            for (++p; *p >= '0' && *p <= '9'; ++p) {
            }
        if (*p != 'd' && *p != 'i' && *p != 'u')
            return false;
        ++conversions;
    }
    return conversions <= 1;
}

// The step-text controls in step order.
const WORD kStepTexts[] = {IDC_STATIC4, IDC_STATIC6, IDC_STATIC8, IDC_STATIC10, IDC_STATIC12};
const int kStepCount = int(sizeof kStepTexts / sizeof kStepTexts[0]);

int StepOfControl(HWND page, HWND control)
{
    for (int step = 0; step < kStepCount; ++step)
        if (control && ::GetDlgItem(page, kStepTexts[step]) == control)
            return step;
    return -1;
}

BOOL IsNewerWindows()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return ::GetVersionExA(&version) && version.dwMajorVersion >= 6;
}

}  // namespace

CInstallDialog::CInstallDialog() : CKAVODlg(0xFFFF) {}

CInstallDialog::~CInstallDialog()
{
    // A download still running would only post to a window that is gone.
    if (m_installCancel)
        *m_installCancel = true;
    delete m_request;
}

LRESULT CInstallDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
    m_progressPhase = -1;
    m_newerWindows = IsNewerWindows();
    return result;
}

LRESULT CInstallDialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != PAGECMD_START) {
        handled = FALSE;
        return 0;
    }
    OnStart();
    return 0;
}

LRESULT CInstallDialog::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const int step = StepOfControl(m_hWnd, reinterpret_cast<HWND>(lParam));
    if (step < 0) {
        handled = FALSE;
        return 0;
    }
    const HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, step < m_progressPhase ? RGB(51, 102, 255) : RGB(255, 0, 0));
    return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}

LRESULT CInstallDialog::OnRequestDoneMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (wParam != WPARAM(-1)) {
        handled = FALSE;
        return 0;
    }
    StartInstaller(lParam);
    return 0;
}

LRESULT CInstallDialog::OnInstallProgressMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    OnInstallProgress(wParam, lParam);
    return 0;
}

LRESULT CInstallDialog::OnQueryEndSessionMessage(UINT, WPARAM, LPARAM, BOOL&)
{
    WriteCompletionCommand();
    return TRUE;
}

void CInstallDialog::OnStart()
{
    if (m_context->runMode == RUNMODE_NORMAL) {
        CString text;
        CString caption;
        GetExpandedText(text, "B_N09_MSG_WARNING");
        GetExpandedText(caption, "B_N09_TTL_WARNING");
        ::MessageBoxA(m_hWnd, text, caption, MB_ICONWARNING);
    }
    ShowProgressText(0, 1);
    StartProgressMarquee(m_hWnd);

    if (IsReportDue()) {
        m_request = new (std::nothrow) COpsRequest;
        // A run that cannot start still posts its end.
        if (m_request) {
            m_request->Run("1011", m_context, FALSE);
            return;
        }
    }
    ::PostMessageA(m_hWnd, WM_KAVO_REQUESTDONE, WPARAM(-1), 0);
}

bool CInstallDialog::IsReportDue() const
{
    if (m_context->GetValue("MIGRATION_TYPE").CompareNoCase("v") != 0)
        return true;
    if (m_context->customer.GrantGetPCInfo != "1")
        return false;
    if (!m_context->customer.SerialID.IsEmpty())
        return true;
    const CString installed = GetInstalledProductSerial();
    return !installed.IsEmpty() && m_context->FindSerial(installed) != nullptr;
}

void CInstallDialog::StartInstaller(LPARAM request)
{
    if (request && reinterpret_cast<COpsRequest*>(request) == m_request) {
        delete m_request;
        m_request = nullptr;
    }
    // One installer per page: a second end notice must not start another.
    if (m_installCancel)
        return;
    const CString extra = m_context->runMode == RUNMODE_OSA2 ? CString("(none)") : m_context->phase;
    int flags = 0;
    if (m_context->GetValue("INSTALL_TYPE") == "CUSTOM")
        flags |= CXGInstall::FlagCustom;
    if (m_context->GetValue("OPTIONAL_FUNCTION") == "ENABLE")
        flags |= CXGInstall::FlagCopyPreparation;
    if (m_context->launcherParams)
        flags |= CXGInstall::FlagInstallFolder;
    CXGInstall* installer = new (std::nothrow) CXGInstall;
    if (installer) {
        installer->SetLogPattern(m_context->traceLog.GetPattern());
        // The launcher tool's block holds no install folder: the setup keeps its own choice.
        const CXGInstall::CancelToken cancel = installer->GetCancelToken();
        if (installer->Start(m_hWnd, m_context->customer.SerialID, nullptr, extra, flags) == 0) {
            m_installCancel = cancel;
            return;
        }
        delete installer;
    }
    // No installer ran: the page must not wait for an end that never comes.
    OnInstallProgress(0xFFFF, LPARAM(-1));
}

void CInstallDialog::OnInstallProgress(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        ShowProgressText(LOWORD(lParam), HIWORD(lParam));
        return;
    }
    if (wParam != 0xFFFF)
        return;
    if (lParam == CXGInstall::ResultSetupStarted) {
        m_context->exitValue = EXIT_INSTALL_NOT_CONFIRMED;
        return;
    }
    if (lParam == CXGInstall::ResultSuccess) {
        OnInstallerEnded();
        return;
    }
    CString code("EXG2999");
    if (lParam >= 1 && lParam <= 5)
        code.Format("EXG200%d", int(lParam));
    m_context->errorCode = code;
    m_context->exitValue = EXIT_INSTALL_ERROR;
    GoToPage(NewPageIn<CErrorDialog>(GetParent(), m_context), 0);
}

void CInstallDialog::OnInstallerEnded()
{
    const bool upgrade = m_context->customer.SerialID.IsEmpty();
    const int status = GetInstallStatus();
    if (status == 1 && IsExpectedProductInstalled()) {
        m_context->exitValue = EXIT_INSTALLED;
        GoToPage(upgrade ? NewPageIn<CPostUpgradeDialog>(GetParent(), m_context)
                         : NewPageIn<CPostInstallDialog>(GetParent(), m_context),
                 0);
        return;
    }
    if (status == 0 && IsInstallerPending(m_newerWindows)) {
        WriteCompletionCommand();
        ::ShowWindow(GetParent(), SW_MINIMIZE);
        return;
    }
    m_context->errorCode = "EXG9998";
    m_context->exitValue = EXIT_INSTALL_NOT_CONFIRMED;
    GoToPage(upgrade ? NewPageIn<CUpgradeFailedDialog>(GetParent(), m_context)
                     : NewPageIn<CInstallFailedDialog>(GetParent(), m_context),
             0);
}

BOOL CInstallDialog::WriteCompletionCommand()
{
    const bool quiet = m_context->IsValueSet();
    const char* key = nullptr;
    if (m_context->customer.SerialID.IsEmpty())
        key = quiet ? "COMMON_ARG_QUIET_COMPLETE_UPGRADE" : "COMMON_ARG_COMPLETE_UPGRADE";
    else
        key = quiet ? "COMMON_ARG_QUIET_COMPLETE_INSTALLATION" : "COMMON_ARG_COMPLETE_INSTALLATION";
    CString args = CTextDef::GetText(key);
    args.Replace("&Phase;", m_context->phase);
    SetRunOnceAutorun(1, args);
    return TRUE;
}

void CInstallDialog::ShowProgressText(int phase, int value)
{
    const auto setText = [this](WORD control, const char* key) {
        CString text;
        GetExpandedText(text, key);
        ::SetDlgItemTextA(m_hWnd, control, text);
    };
    const auto showDone = [this](WORD control) {
        if (!m_doneMark)
            m_doneMark.LoadBitmap(AtlGetResourceInstance(), IDB_STEP_DONE);
        ::SendDlgItemMessageA(m_hWnd, control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_doneMark.Get()));
    };

    if (phase == 0 && value == 0) {
        setText(IDC_STATIC4, "B_N09_IDC_STATIC4_0");
    } else if (phase == 0 && value == 1) {
        setText(IDC_STATIC4, "B_N09_IDC_STATIC4_1");
        showDone(IDC_IMAGE);
    } else if (phase == 1 && value == 0) {
        setText(IDC_STATIC6, "B_N09_IDC_STATIC6_0");
    } else if (phase == 1 && unsigned(value) <= 100) {
        CString format;
        GetExpandedText(format, "B_N09_IDC_STATIC6_n");
        CString text;
        if (TakesOneNumberAtMost(format))
            text.Format(format, value);
        else
            text = format;
        ::SetDlgItemTextA(m_hWnd, IDC_STATIC6, text);
    } else if (phase == 1) {
        setText(IDC_STATIC6, "B_N09_IDC_STATIC6_2");
        showDone(IDC_IMAGE2);
    } else if (phase == 2 && value >= 0 && value <= 2) {
        static const char* const kInstalling[] = {"B_N09_IDC_STATIC8_0", "B_N09_IDC_STATIC8_1", "B_N09_IDC_STATIC8_2"};
        setText(IDC_STATIC8, kInstalling[value]);
    }

    m_progressPhase = phase;
    m_progressValue = value;
    for (int step = 0; step <= phase && step < kStepCount; ++step)
        if (HWND text = GetDlgItem(kStepTexts[step]))
            ::InvalidateRect(text, nullptr, TRUE);
}

void CInstallDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N09_IDC_STATIC1"},
        {IDC_STATIC2, "B_N09_IDC_STATIC2"},
        {IDC_STATIC3, "B_N09_IDC_STATIC3"},
        {IDC_STATIC4, "B_N09_IDC_STATIC4_0"},
        {IDC_STATIC5, "B_N09_IDC_STATIC5"},
        {IDC_STATIC6, "B_N09_IDC_STATIC6_0"},
        {IDC_STATIC7, "B_N09_IDC_STATIC7"},
        {IDC_STATIC8, "B_N09_IDC_STATIC8_0"},
        {IDC_STATIC9, "B_N09_IDC_STATIC9"},
        {IDC_STATIC10, "B_N09_IDC_STATIC10_0"},
        {IDC_STATIC11, "B_N09_IDC_STATIC11"},
        {IDC_STATIC12, "B_N09_IDC_STATIC12_0"},
        {IDC_STATIC13, "B_N09_IDC_STATIC13"},
    };
    SetPageTexts(*this, kTexts);
}
