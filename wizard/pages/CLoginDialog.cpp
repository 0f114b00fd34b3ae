#include "CLoginDialog.h"

#include <imm.h>

#include <new>

#include "AutoFlow.h"
#include "CErrorDialog.h"
#include "COpsRequest.h"
#include "CPageContext.h"
#include "CStatusDialog.h"
#include "LoginParams.h"
#include "PageContent.h"
#include "PageFactory.h"
#include "PageTexts.h"

namespace {

const int kCustomerIdLength = 10;
const int kAccessKeyLength = 8;
// The customer id in the context starts with the prefix that the page shows beside its field.
const int kCustomerIdPrefixLength = 3;
const COLORREF kLabelColour = RGB(100, 149, 237);
// "●" as a wide character: the Shift-JIS code sent narrow becomes another character on the
// way to the edit.
const WCHAR kMaskCharacter = 0x25CF;

bool IsAsciiLetterOrDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int ItemTextLength(HWND page, int id)
{
    return int(::SendDlgItemMessageA(page, id, WM_GETTEXTLENGTH, 0, 0));
}

}  // namespace

CLoginDialog::CLoginDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CLoginDialog::SignIn CLoginDialog::JudgeSignIn(int runResult, const CPageContext& context)
{
    if (runResult == 0)
        return SignIn::Accepted;
    if (runResult == -1 || !context.errorCode.IsEmpty())
        return SignIn::Failed;
    const CString& code = context.response.ResultCode;
    return code == "9991" || code == "0002" ? SignIn::Refused : SignIn::Failed;
}

CLoginDialog::~CLoginDialog() = default;

void CLoginDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "A_N07_IDC_STATIC1"},
        {IDC_STATIC2, "A_N07_IDC_STATIC2"},
        {IDC_STATIC3, "A_N07_IDC_STATIC3"},
        {IDC_STATIC4, "A_N07_IDC_STATIC4"},
        {IDC_STATIC5, "A_N07_IDC_STATIC5"},
        {IDC_STATIC6, "A_N07_IDC_STATIC6"},
        {IDC_STATIC7, "A_N07_IDC_STATIC7"},
        {IDC_LOGIN, "A_N07_IDC_LOGIN"},
        {IDC_EDIT1, "A_N07_IDC_EDIT1"},
        {IDC_EDIT2, "A_N07_IDC_EDIT2"},
        {IDC_CHECK1, "A_N07_IDC_CHECK1"},
        {IDC_MASK, "A_N07_IDC_MASK"},
    };
    SetPageTexts(*this, kTexts);
}

void CLoginDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void CLoginDialog::LoadBrowserContent(WORD)
{
    const CString stateKey("CLoginDialog::InitialState");
    if (m_context->values[stateKey] == "ERROR") {
        ::MessageBeep(MB_ICONHAND);
        WritePageHtml(*this, "A_E07_IDC_WEBBROWSER");
        EnableInput(TRUE);
        return;
    }
    m_context->values.RemoveKey(stateKey);
    WritePageHtml(*this, "A_N07_IDC_WEBBROWSER");
}

BOOL CLoginDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorCode;") {
        text = "EWS";
        text += m_context->response.ResultCode;
        return TRUE;
    }
    return CKAVODlgBase::ResolveEntity(text);
}

CWBDialog* CLoginDialog::ResolvePage(HWND frame, CPageContext* context)
{
    if (!HasLauncherCredentials(context))
        return this;
    // The host has put the launcher's customer id and access key into the context.
    COpsRequest request;
    switch (JudgeSignIn(request.Run("1001", context, TRUE), *context)) {
    case SignIn::Accepted:
        if (SendPcInfoReport(context, 0) == 0)
            return NewPageIn<CStatusDialog>(frame, context);
        return NewPageIn<CErrorDialog>(frame, context);
    case SignIn::Refused:
        context->SetValue("CLoginDialog::InitialState", "ERROR");
        return this;
    case SignIn::Failed:
        break;
    }
    return NewPageIn<CErrorDialog>(frame, context);
}

LRESULT CLoginDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    m_customerIdEdit.SubclassWindow(GetDlgItem(IDC_EDIT1));
    ::SendDlgItemMessageA(m_hWnd, IDC_EDIT1, EM_LIMITTEXT, kCustomerIdLength, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_EDIT2, EM_LIMITTEXT, kAccessKeyLength, 0);
    CString customerId;
    CString accessKey;
    if (m_context->runMode == RUNMODE_OSA1 || m_context->runMode == RUNMODE_OSA2) {
        customerId = m_context->customer.VeldinCommonID;
        accessKey = m_context->customer.AccessKey;
    } else if (!LoadLoginParams(customerId, accessKey)) {
        customerId.Empty();
        accessKey.Empty();
    }
    ::SetDlgItemTextA(m_hWnd, IDC_EDIT1, customerId.Mid(kCustomerIdPrefixLength));
    ::SetDlgItemTextA(m_hWnd, IDC_EDIT2, accessKey);
    ::CheckDlgButton(m_hWnd, IDC_MASK, BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_CHECK1, BST_CHECKED);
    return result;
}

void CLoginDialog::OnInputChange()
{
    const CString key = ItemText(IDC_EDIT2);
    int length = 0;
    while (length < key.GetLength() && IsAsciiLetterOrDigit(key[length]))
        ++length;
    if (length < key.GetLength()) {
        const LRESULT selection = ::SendDlgItemMessageA(m_hWnd, IDC_EDIT2, EM_GETSEL, 0, 0);
        ::SetDlgItemTextA(m_hWnd, IDC_EDIT2, key.Left(length));
        ::SendDlgItemMessageA(m_hWnd, IDC_EDIT2, EM_SETSEL, LOWORD(selection), HIWORD(selection));
        ::MessageBeep(0);
        ::EnableWindow(GetDlgItem(IDC_LOGIN), FALSE);
        return;
    }
    const bool complete = ItemTextLength(m_hWnd, IDC_EDIT1) == kCustomerIdLength &&
                          ItemTextLength(m_hWnd, IDC_EDIT2) == kAccessKeyLength;
    ::EnableWindow(GetDlgItem(IDC_LOGIN), complete ? TRUE : FALSE);
}

void CLoginDialog::OnLogin()
{
    EnableInput(FALSE);
    const bool keep = ::IsDlgButtonChecked(m_hWnd, IDC_CHECK1) == BST_CHECKED;
    m_context->customer.VeldinCommonID = ItemText(IDC_STATIC6) + ItemText(IDC_EDIT1);
    m_context->customer.AccessKey = ItemText(IDC_EDIT2);
    COpsRequest request;
    const SignIn outcome = JudgeSignIn(request.Run("1001", m_context, TRUE), *m_context);
    if (!keep)
        DeleteLoginParams();
    CWBDialog* next = nullptr;
    switch (outcome) {
    case SignIn::Accepted:
        // Saved before the refresh: a failing refresh keeps what the customer asked to keep.
        if (keep)
            SaveLoginParams(m_context->customer.VeldinCommonID, m_context->customer.AccessKey);
        if (SendPcInfoReport(m_context, 0) == 0)
            next = new (std::nothrow) CStatusDialog;
        else
            next = new (std::nothrow) CErrorDialog;
        break;
    case SignIn::Refused:
        ::MessageBeep(MB_ICONHAND);
        WritePageHtml(*this, "A_E07_IDC_WEBBROWSER");
        EnableInput(TRUE);
        ::SetFocus(GetDlgItem(IDC_LOGIN));
        return;
    case SignIn::Failed:
        next = new (std::nothrow) CErrorDialog;
        break;
    }
    GoToPage(CreatePageWindow(next, GetParent(), m_context), 0);
}

void CLoginDialog::EnableInput(BOOL enable)
{
    EnableDlgItems(m_hWnd, enable, IDC_LOGIN, IDC_MASK, IDC_EDIT1, IDC_EDIT2, IDC_CHECK1, 0);
}

CString CLoginDialog::ItemText(int id) const
{
    const HWND item = GetDlgItem(id);
    const int length = ::GetWindowTextLengthA(item);
    CString text;
    if (length > 0) {
        char* buffer = text.GetBuffer(length + 1);
        const int copied = ::GetWindowTextA(item, buffer, length + 1);
        text.ReleaseBuffer(copied);
    }
    return text;
}

LRESULT CLoginDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CLoginDialog::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    if (id == IDC_STATIC2 || id == IDC_STATIC4)
        ::SetTextColor(reinterpret_cast<HDC>(wParam), kLabelColour);
    // The white brush comes from the base map.
    handled = FALSE;
    return 0;
}

LRESULT CLoginDialog::OnEditSetFocus(WORD, WORD id, HWND control, BOOL& handled)
{
    if (id != IDC_EDIT1 && id != IDC_EDIT2) {
        handled = FALSE;
        return 0;
    }
    if (const HIMC context = ::ImmGetContext(control)) {
        ::ImmSetOpenStatus(context, FALSE);
        ::ImmReleaseContext(control, context);
    }
    return 0;
}

LRESULT CLoginDialog::OnInputChangeCommand(WORD, WORD, HWND, BOOL&)
{
    OnInputChange();
    return 0;
}

LRESULT CLoginDialog::OnMaskCommand(WORD, WORD, HWND, BOOL&)
{
    const HWND key = GetDlgItem(IDC_EDIT2);
    const bool plain = ::IsDlgButtonChecked(m_hWnd, IDC_MASK) == BST_CHECKED;
    ::SendMessageW(key, EM_SETPASSWORDCHAR, plain ? 0 : kMaskCharacter, 0);
    // Written back so that the field redraws in its new form.
    ::SetWindowTextA(key, ItemText(IDC_EDIT2));
    return 0;
}

LRESULT CLoginDialog::OnLoginCommand(WORD, WORD, HWND, BOOL&)
{
    OnLogin();
    return 0;
}
