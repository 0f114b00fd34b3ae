#include "COPSProgressDialog.h"

#include <new>

#include "COpsRequest.h"
#include "CPageContext.h"
#include "PageFactory.h"
#include "PageTexts.h"
#include "pages/CErrorDialog.h"
#include "pages/CSignupDialog.h"

// No browser control: the page shows its progress or result in plain controls.
COPSProgressDialog::COPSProgressDialog() : CKAVODlg(0xFFFF) {}

COPSProgressDialog::~COPSProgressDialog()
{
    delete m_request;
}

void COPSProgressDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

LRESULT COPSProgressDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    ::SetDlgItemTextA(m_hWnd, IDC_STATIC1, m_context->GetValue("COPSProgressDialog::MessageText"));
    return result;
}

void COPSProgressDialog::StartRequest()
{
    if (m_request)
        return;
    m_procId = m_context->GetValue("COPSProgressDialog::ProcID");
    m_context->SetValue("CErrorDialog::RetryClassname", "COPSProgressDialog");
    StartProgressMarquee(m_hWnd);
    m_request = new (std::nothrow) COpsRequest;
    if (!m_request) {
        m_context->errorCode = "EXG0000";
        GoToPage(CreatePageWindow(new (std::nothrow) CErrorDialog, GetParent(), m_context), 0);
        return;
    }
    // A run that cannot start still posts its end, so the outcome is always taken there.
    m_request->Run(m_procId, m_context, FALSE);
}

void COPSProgressDialog::OnRequestDone(COpsRequest* request)
{
    if (!request || request != m_request)
        return;
    delete m_request;
    m_request = nullptr;
    const char* key = OrderRequestFailed(*m_context) ? "COPSProgressDialog::ErrorPage" : "COPSProgressDialog::NextPage";
    const CString name = m_context->GetValue(key);
    GoToPage(CreatePageObject(name, GetParent(), m_context), 0);
}

LRESULT COPSProgressDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT COPSProgressDialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != PAGECMD_START) {
        handled = FALSE;
        return 0;
    }
    StartRequest();
    return 0;
}

LRESULT COPSProgressDialog::OnRequestDoneMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (wParam == WPARAM(-1))
        OnRequestDone(reinterpret_cast<COpsRequest*>(lParam));
    return 0;
}
