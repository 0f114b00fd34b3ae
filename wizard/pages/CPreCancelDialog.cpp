#include "CPreCancelDialog.h"

#include <mshtmhst.h>

#include <new>

#include "COpsRequest.h"
#include "CPageContext.h"
#include "Entities.h"
#include "FormatDateText.h"
#include "PageContent.h"
#include "PageFactory.h"
#include "PageTexts.h"
#include "pages/CErrorDialog.h"
#include "pages/CModifyStatusDialog.h"
#include "pages/CPostCancelDialog.h"
#include "pages/CSignupDialog.h"

CPreCancelDialog::CPreCancelDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CPreCancelDialog::~CPreCancelDialog()
{
    delete m_request;
}

DWORD CPreCancelDialog::GetHostFlags()
{
    // Long lists scroll, so the scroll bar stays.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DIALOG;
}

void CPreCancelDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "C_N01_IDC_STATIC1"},
        {IDC_STATIC3, "C_N01_IDC_STATIC3"},
        {IDC_NEXT, "C_N01_IDC_NEXT"},
        {IDC_BACK, "C_N01_IDC_BACK"},
    };
    SetPageTexts(*this, kTexts);
}

void CPreCancelDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC2, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CPreCancelDialog::LoadBrowserContent(WORD)
{
    WritePageHtml(*this, "C_N01_IDC_WEBBROWSER");
}

BOOL CPreCancelDialog::ResolveEntity(CString& text)
{
    if (text == "&解約される契約内容;" && !m_buildingList) {
        text = BuildSerialList();
        return TRUE;
    }
    return CKAVODlgBase::ResolveEntity(text);
}

namespace {

BOOL ResolveCancelledSerialToken(void* context, CString& token)
{
    const COpsSerialInfo& serial = *static_cast<const COpsSerialInfo*>(context);
    if (token == "&NickName;")
        token = HtmlEscape(serial.NickName);
    else if (token == "&SerialID;")
        token = serial.SerialID;
    else if (token == "&利用開始日;")
        token = FormatDateText(serial.ConstructionEndDate);
    else
        return FALSE;
    return TRUE;
}

}  // namespace

CString CPreCancelDialog::BuildSerialList()
{
    CString usedTemplate;
    CString unusedTemplate;
    m_buildingList = true;
    GetExpandedText(usedTemplate, "C_N01_TMPL_SERIAL");
    GetExpandedText(unusedTemplate, "C_N01_TMPL_SERIAL_NOTUSED");
    m_buildingList = false;

    CString rows;
    for (int i = 0; i < m_pendingSerials.GetSize(); ++i) {
        COpsSerialInfo* serial = m_context->FindSerial(m_pendingSerials[i]);
        if (!serial)
            continue;
        const int status = serial->SerialStatus;
        rows += ExpandEntityText(status >= 2 && status <= 5 ? usedTemplate : unusedTemplate,
                                 ResolveCancelledSerialToken, serial);
    }
    return rows;
}

LRESULT CPreCancelDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    const CString joined = m_context->GetValue("CANCEL_SERIALS");
    for (int start = 0; start <= joined.GetLength();) {
        int comma = joined.Find(',', start);
        if (comma < 0)
            comma = joined.GetLength();
        if (comma > start)
            m_pendingSerials.Add(joined.Mid(start, comma - start));
        start = comma + 1;
    }
    m_allFlag = m_context->GetValue("AN08_ORDER") == "全解約";
    CString heading;
    GetExpandedText(heading, m_allFlag ? "C_N01_IDC_STATIC2_1" : "C_N01_IDC_STATIC2_2");
    ::SetDlgItemTextA(m_hWnd, IDC_STATIC2, heading);
    return result;
}

void CPreCancelDialog::OnNext()
{
    EnableDlgItems(m_hWnd, FALSE, IDC_BACK, IDC_NEXT, 0);
    m_started = true;
    ::PostMessageA(m_hWnd, WM_KAVO_REQUESTDONE, WPARAM(-1), 0);
}

void CPreCancelDialog::OnCancelStep(COpsRequest* request)
{
    // Only the running request's end goes on; without one, only the start that Next posted.
    if (request ? request != m_request : (m_request || !m_started))
        return;
    m_started = false;
    if (request) {
        delete m_request;
        m_request = nullptr;
        if (OrderRequestFailed(*m_context)) {
            GoToPage(CreatePageWindow(new (std::nothrow) CErrorDialog, GetParent(), m_context), 0);
            return;
        }
    }
    if (m_pendingSerials.GetSize() == 0) {
        GoToPage(CreatePageWindow(new (std::nothrow) CPostCancelDialog, GetParent(), m_context), 0);
        return;
    }
    // The id text must outlive the run: literals do.
    const char* procedure = "1009";
    if (m_allFlag) {
        m_pendingSerials.RemoveAll();
        procedure = "1008";
    } else {
        m_context->customer.SerialID = m_pendingSerials[0];
        m_pendingSerials.RemoveAt(0);
    }
    m_request = new (std::nothrow) COpsRequest;
    if (!m_request) {
        m_context->errorCode = "EXG0000";
        GoToPage(CreatePageWindow(new (std::nothrow) CErrorDialog, GetParent(), m_context), 0);
        return;
    }
    // A run that cannot start still posts its end, so the outcome is always taken there.
    m_request->Run(procedure, m_context, FALSE);
}

LRESULT CPreCancelDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CPreCancelDialog::OnRequestDoneMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (wParam != WPARAM(-1)) {
        handled = FALSE;
        return 0;
    }
    OnCancelStep(reinterpret_cast<COpsRequest*>(lParam));
    return 0;
}

LRESULT CPreCancelDialog::OnBackCommand(WORD, WORD, HWND, BOOL&)
{
    GoToPage(CreatePageWindow(new (std::nothrow) CModifyStatusDialog, GetParent(), m_context), 0);
    return 0;
}

LRESULT CPreCancelDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    OnNext();
    return 0;
}
