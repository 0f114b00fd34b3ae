#include "CSignupDialog.h"

#include <commctrl.h>

#include <new>

#include "COpsRequest.h"
#include "CPageContext.h"
#include "PageFactory.h"
#include "PageTexts.h"
#include "pages/CErrorDialog.h"
#include "pages/CPostSignupDialog.h"
#include "pages/CRegClientDialog.h"

void StartProgressMarquee(HWND page)
{
    const HWND bar = ::GetDlgItem(page, IDC_PROGRESS);
    if (!bar)
        return;
    const LONG style = ::GetWindowLongA(bar, GWL_STYLE);
    if (!(style & PBS_MARQUEE))
        ::SetWindowLongA(bar, GWL_STYLE, style | PBS_MARQUEE);
    ::SendMessageA(bar, PBM_SETMARQUEE, TRUE, 100);
}

bool OrderRequestFailed(const CPageContext& context)
{
    return !context.errorCode.IsEmpty() || context.response.ResultCode != "0000";
}

// No browser control: the page shows its progress or result in plain controls.
CSignupDialog::CSignupDialog() : CKAVODlg(0xFFFF) {}

CSignupDialog::~CSignupDialog()
{
    delete m_request;
}

void CSignupDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N05_2_IDC_STATIC1"},
    };
    SetPageTexts(*this, kTexts);
}

void CSignupDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "14pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CSignupDialog::StartOrder()
{
    StartProgressMarquee(m_hWnd);
    if (m_request)
        return;
    const CString order = m_context->GetValue("AN08_ORDER");
    // The id text must outlive the run: literals do.
    const char* procedure = nullptr;
    if (order == "新規契約")
        procedure = "1003";
    else if (order == "追加契約")
        procedure = "1004";
    else
        return;
    m_context->SetValue("CErrorDialog::RetryClassname", "CSignupDialog");
    m_request = new (std::nothrow) COpsRequest;
    if (!m_request) {
        m_context->errorCode = "EXG0000";
        GoToPage(CreatePageWindow(new (std::nothrow) CErrorDialog, GetParent(), m_context), 0);
        return;
    }
    // A run that cannot start still posts its end, so the outcome is always taken there.
    m_request->Run(procedure, m_context, FALSE);
}

void CSignupDialog::OnOrderDone(COpsRequest* request)
{
    if (!request || request != m_request)
        return;
    delete m_request;
    m_request = nullptr;
    CWBDialog* next = nullptr;
    if (OrderRequestFailed(*m_context))
        next = new (std::nothrow) CErrorDialog;
    else if (m_context->runMode == 3)
        next = new (std::nothrow) CRegClientDialog;
    else
        next = new (std::nothrow) CPostSignupDialog;
    GoToPage(CreatePageWindow(next, GetParent(), m_context), 0);
}

LRESULT CSignupDialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != PAGECMD_START) {
        handled = FALSE;
        return 0;
    }
    StartOrder();
    return 0;
}

LRESULT CSignupDialog::OnRequestDoneMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (wParam == WPARAM(-1))
        OnOrderDone(reinterpret_cast<COpsRequest*>(lParam));
    return 0;
}
