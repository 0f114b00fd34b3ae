#include "CUpdateDialog.h"

#include <commctrl.h>

#include "CCoreLoader.h"
#include "CFontCache.h"
#include "CKavoErrorDialog.h"
#include "CLiveUpdate.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "OwnPage.h"

CUpdateDialog::CUpdateDialog() : CKAVODlg(0xFFFF) {}

void CUpdateDialog::InitTexts()
{
    ShowText("A_N04_IDC_STATIC1_1");
}

void CUpdateDialog::InitFonts()
{
    ::SendDlgItemMessageA(m_hWnd, IDC_MAIN_STATIC1, WM_SETFONT, reinterpret_cast<WPARAM>(GlobalFontCache().GetFont("14pt")),
                        TRUE);
}

CWBDialog* CUpdateDialog::CreateCorePage(const char* name)
{
    return CreatePage(name, GetParent(), m_context);
}

void CUpdateDialog::ShowText(const char* key)
{
    CString text;
    GetExpandedText(text, key);
    ::SetDlgItemTextA(m_hWnd, IDC_MAIN_STATIC1, text);
}

void CUpdateDialog::GoToErrorPage(const char* code)
{
    m_context->errorCode = code;
    GoToPage(NewOwnPage<CKavoErrorDialog>(GetParent(), m_context), 0);
}

LRESULT CUpdateDialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam != PAGECMD_START)
        return 0;
    if (CTextDef::HasText("TWEAK_SKIP_UPDATE"))
        GoToPage(CreateCorePage("CLoginDialog"), 0);
    else
        CLiveUpdate::Start(m_hWnd, CoreLibraryPath(), false);
    return 0;
}

LRESULT CUpdateDialog::OnUpdateProgressMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    switch (wParam) {
    case 1:
        ::SendDlgItemMessageA(m_hWnd, IDC_MAIN_PROGRESS, PBM_SETPOS, WPARAM(lParam), 0);
        break;
    case 2:
        if (lParam == 2)
            ShowText("A_N04_IDC_STATIC1_2");
        break;
    case 0:
        if (lParam == 0 || lParam == 1) {
            CWBDialog* next = CreateCorePage("NORMAL_SEQUENCE");
            if (!next)
                next = CreateCorePage("CLoginDialog");
            GoToPage(next, 0);
        } else if (lParam == 3) {
            GoToErrorPage("EPN0260");
        } else if (lParam == -1) {
            GoToErrorPage("EXG6001");
        }
        // An installer that was started takes over: the page stays with its last progress.
        break;
    default:
        break;
    }
    return 0;
}
