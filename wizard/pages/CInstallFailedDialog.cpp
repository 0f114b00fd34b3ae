#include "CInstallFailedDialog.h"

#include <shellapi.h>

#include "AutoFlow.h"
#include "CPageContext.h"
#include "CoreExports.h"
#include "PageTexts.h"
#include "ProgramFolder.h"

namespace {

bool ShellStart(const char* program, const char* params)
{
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, nullptr, program, params, nullptr, SW_SHOWNORMAL)) > 32;
}

CInstallFailedDialog::ProgramStarter g_starter = ShellStart;

}  // namespace

CInstallFailedDialog::ProgramStarter CInstallFailedDialog::SetProgramStarter(ProgramStarter starter)
{
    const ProgramStarter previous = g_starter;
    g_starter = starter ? starter : ShellStart;
    return previous;
}

CInstallFailedDialog::CInstallFailedDialog() : CKAVODlg(IDC_WEBBROWSER)
{
    // The installation has run its course: closing here must not start the launcher tool.
    m_keepParent = TRUE;
}

CInstallFailedDialog::~CInstallFailedDialog() = default;

BOOL CInstallFailedDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = m_context->errorCode;
        return TRUE;
    }
    return CKAVODlg::ResolveEntity(text);
}

void CInstallFailedDialog::LoadBrowserContent(WORD)
{
    const CString& code = m_context->errorCode;
    const char* key = "B_E09_IDC_WEBBROWSER";
    if (code == "EXG9998")
        key = "ERR_EXG9998";
    else if (code == "EXG9999")
        key = "ERR_EXG9999";
    CString html;
    GetExpandedText(html, key);
    WriteHtmlWithCharset(IDC_WEBBROWSER, html);
}

void CInstallFailedDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_INSTALL, "B_E09_IDC_INSTALL"},
        {ID_PAGE_CLOSE, "B_E09_IDCLOSE"},
    };
    SetPageTexts(*this, kTexts);
}

CWBDialog* CInstallFailedDialog::ResolvePage(HWND, CPageContext* context)
{
    // The launcher tool reports the failure itself.
    if (IsOptionGiven(context))
        return nullptr;
    return this;
}

LRESULT CInstallFailedDialog::OnFailedInit(HWND focus, LPARAM initParam)
{
    const LRESULT result = OnInitDialog(focus, initParam);
    if (m_context->errorCode.IsEmpty())
        m_context->errorCode = "EXG9999";
    if (m_context->errorCode == "EXG9998")
        m_context->cleanupFlags |= CLEANUP_RUNONCE;
    return result;
}

void CInstallFailedDialog::RestartAfterInstallFailure()
{
    m_context->phase.Empty();
    m_context->customer.SerialID.Empty();
    CString text;
    CString caption;
    GetExpandedText(text, "B_E09_CONFIRM_MESSAGE");
    GetExpandedText(caption, "B_E09_CONFIRM_TITLE");
    if (::MessageBoxA(m_hWnd, text, caption, MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;
    RestartWith(1, "-P RESTART");
}

void CInstallFailedDialog::RestartWith(int clear, const char* params)
{
    if (const HostPageFactory hostFactory = GetHostPageFactory()) {
        if (CWBDialog* page = hostFactory("CUpdateDialog", GetParent(), m_context)) {
            GoToPage(page, clear);
            return;
        }
    }
    m_context->cleanupFlags |= CLEANUP_RUNONCE;
    const CString program = GetProgramFolder() + "\\kavo.exe";
    g_starter(program, params);
    GoToPage(nullptr, 0);
}

LRESULT CInstallFailedDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnFailedInit(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CInstallFailedDialog::OnInstallCommand(WORD, WORD, HWND, BOOL&)
{
    RestartAfterInstallFailure();
    return 0;
}
