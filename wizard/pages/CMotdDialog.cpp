#include "CMotdDialog.h"

#include <shlwapi.h>

#include <new>

#include "AutoFlow.h"
#include "CPageContext.h"
#include "PageFactory.h"
#include "pages/CLoginDialog.h"

namespace {

// An absent status reads as empty, which is 0.
int OpsStatus(const CPageContext& context)
{
    return StrToIntA(context.GetValue("OPS_STATUS"));
}

}  // namespace

CMotdDialog::CMotdDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CMotdDialog::~CMotdDialog() = default;

void CMotdDialog::LoadBrowserContent(WORD)
{
    const CString& body = m_context->values[CString("OPS_MOTD")];
    WriteHtmlWithCharset(IDC_WEBBROWSER, body);
}

CWBDialog* CMotdDialog::ResolvePage(HWND frame, CPageContext* context)
{
    const int status = context ? OpsStatus(*context) : 0;
    if (status == 1 || status == 2)
        return this;
    return NewPageIn<CLoginDialog>(frame, context);
}

LRESULT CMotdDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    switch (OpsStatus(*m_context)) {
    case 1:
        ::ShowWindow(GetDlgItem(ID_PAGE_CLOSE), SW_HIDE);
        break;
    case 2: {
        const HWND next = GetDlgItem(IDC_NEXT);
        RECT place = {};
        ::GetWindowRect(next, &place);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        ::SetWindowPos(GetDlgItem(ID_PAGE_CLOSE), nullptr, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        ::ShowWindow(next, SW_HIDE);
        break;
    }
    default:
        break;
    }
    return result;
}

LRESULT CMotdDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CMotdDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(CreatePageWindow(new (std::nothrow) CLoginDialog, GetParent(), m_context), 0);
    return 0;
}
