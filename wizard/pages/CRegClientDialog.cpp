#include "CRegClientDialog.h"

#include <mshtmhst.h>

#include <exdisp.h>

#include <imm.h>

#include <cstring>
#include <new>

#include "AutoFlow.h"
#include "CA2W.h"
#include "CComVariant.h"
#include "COpsRequest.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "InputChecks.h"
#include "NavigationFallback.h"
#include "NickNameMessages.h"
#include "PageTexts.h"
#include "dialogs/CMessageDialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CInstallDialog.h"
#include "pages/COPSProgressDialog.h"
#include "pages/CPreInstallDialog.h"
#include "pages/CSignupDialog.h"

namespace {

const int kNickNameLength = 30;
const int kMailLength = 60;
const COLORREF kSerialColour = RGB(100, 149, 237);
const COLORREF kMarkColour = RGB(254, 254, 153);
// The launcher block's mail address field: after the 16-byte access key, 100 bytes.
const size_t kLauncherMailOffset = 32;
const size_t kLauncherMailSize = 100;

CString LauncherMailAddress(const BYTE* block)
{
    if (!block)
        return CString();
    const char* text = reinterpret_cast<const char*>(block + kLauncherMailOffset);
    const void* end = std::memchr(text, '\0', kLauncherMailSize);
    return CString(text, end ? int(static_cast<const char*>(end) - text) : int(kLauncherMailSize));
}

bool IsMigrationSkippingOption(const CString& migration)
{
    return migration == "V" || migration == "H" || migration == "S";
}

}  // namespace

CRegClientDialog::CRegClientDialog() : CKAVODlg(IDC_WEBBROWSER) {}

CRegClientDialog::~CRegClientDialog() = default;

BOOL CRegClientDialog::ResolveEntity(CString& text)
{
    if (text == "&ErrorChar;") {
        text = m_errorChars;
        return TRUE;
    }
    return CKAVODlg::ResolveEntity(text);
}

void CRegClientDialog::LoadBrowserContent(WORD)
{
    m_navigationFailed = FALSE;
    if (!m_browser)
        return;
    CString address;
    GetExpandedText(address, "COMMON_URL_DSC_GETCUSTOMERINFO");
    CComVariant url(static_cast<const wchar_t*>(CA2W(address)));
    CComVariant empty;
    m_browser->Navigate2(&url, &empty, &empty, &empty, &empty);
}

DWORD CRegClientDialog::GetHostFlags()
{
    // The entry form scrolls and keeps its border.
    return DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_DIALOG;
}

void CRegClientDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N07_IDC_STATIC1"},
        {IDC_STATIC2, "B_N07_IDC_STATIC2"},
        {IDC_STATIC3, "B_N07_IDC_STATIC3"},
        {IDC_STATIC4, "B_N07_IDC_STATIC4"},
        {IDC_STATIC6, "B_N07_IDC_STATIC6"},
        {IDC_STATIC8, "B_N07_IDC_STATIC8"},
        {IDC_CHECK1, "B_N07_IDC_CHECK1"},
        {IDC_CHECK2, "B_N07_IDC_CHECK2"},
        {IDC_NEXT, "B_N07_IDC_NEXT"},
    };
    SetPageTexts(*this, kTexts);
}

void CRegClientDialog::InitFonts()
{
    static const PageFont kFonts[] = {
        {IDC_STATIC1, "12pt"},
    };
    SetPageFonts(m_hWnd, kFonts);
}

void __stdcall CRegClientDialog::DocumentComplete(IDispatch* browser, VARIANT* url)
{
    // Only the consent page can fail: the blank document before it always starts the load.
    if (m_navigationFailed && m_mainDocumentLoaded)
        WriteFallbackOnce(*this, "B_N07_IDC_WEBBROWSER", m_fallbackWritten);
    else
        CKAVODlgBase::DocumentComplete(browser, url);
}

void __stdcall CRegClientDialog::NavigateError(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT_BOOL* cancel)
{
    TakeNavigationError(m_hWnd, url, cancel, m_navigationFailed);
}

LRESULT CRegClientDialog::OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == PAGECMD_NAVERROR)
        StartFallbackCycle(m_browser, m_fallbackWritten);
    else if (wParam == PAGECMD_START && m_context->customer.SerialID.IsEmpty()) {
        // The page is gone after this: nothing else may see the notice.
        OnStart();
        return 0;
    }
    handled = FALSE;
    return 0;
}

CString CRegClientDialog::ItemText(int id) const
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

LRESULT CRegClientDialog::OnInitDialog(HWND focus, LPARAM initParam)
{
    m_inProgress = FALSE;
    const LRESULT result = CKAVODlgBase::OnInitDialog(focus, initParam);
    m_nickNameEdit.SubclassWindow(GetDlgItem(IDC_EDIT1));
    m_mailEdit.SubclassWindow(GetDlgItem(IDC_EDIT2));
    m_markBrush.Attach(::CreateSolidBrush(kMarkColour));
    COpsCustomerData& customer = m_context->customer;
    if (customer.SerialID.IsEmpty()) {
        if (const char* awaiting = m_context->GetFirstSerialAwaitingInstall())
            customer.SerialID = awaiting;
    }
    // A missing serial is only noted here: the start notice leads to the error page.
    if (customer.SerialID.IsEmpty())
        m_context->errorCode = "E_UNEXPECTED";
    ::SetDlgItemTextA(m_hWnd, IDC_STATIC5, customer.SerialID);
    const int status = m_context->GetSerialStatus(customer.SerialID);
    if (status == 2 || status == 4) {
        m_inProgress = TRUE;
        ::SetDlgItemTextA(m_hWnd, IDC_EDIT1, customer.NickName);
        ::SetDlgItemTextA(m_hWnd, IDC_EDIT2, customer.MailAddressSN);
        EnableDlgItems(m_hWnd, FALSE, IDC_EDIT1, IDC_EDIT2, IDC_CHECK1, IDC_CHECK2, 0);
        const COpsSerialInfo* serial = m_context->FindSerial(customer.SerialID);
        ::CheckDlgButton(m_hWnd, IDC_CHECK1, serial && serial->GrantGetMailAddress ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(m_hWnd, IDC_CHECK2, serial && serial->GrantGetPCInfo ? BST_CHECKED : BST_UNCHECKED);
    } else if (status == 3) {
        ::SetDlgItemTextA(m_hWnd, IDC_EDIT1, customer.NickName);
        ::SetDlgItemTextA(m_hWnd, IDC_EDIT2, customer.MailAddressSN);
        ::CheckDlgButton(m_hWnd, IDC_CHECK1, BST_CHECKED);
        ::CheckDlgButton(m_hWnd, IDC_CHECK2, BST_CHECKED);
    } else {
        char computer[kNickNameLength] = {};
        DWORD size = sizeof computer;
        if (!::GetComputerNameA(computer, &size))
            computer[0] = '\0';
        CString nickName;
        RemoveProblemDbcsChars(nickName, computer);
        ::SetDlgItemTextA(m_hWnd, IDC_EDIT1, nickName);
        CString mail = LauncherMailAddress(m_context->launcherParams);
        if (mail.IsEmpty() || mail.GetLength() > kMailLength)
            mail = m_context->response.customerInformation.MailAddressAL;
        ::SetDlgItemTextA(m_hWnd, IDC_EDIT2, mail);
        ::CheckDlgButton(m_hWnd, IDC_CHECK1, BST_CHECKED);
        ::CheckDlgButton(m_hWnd, IDC_CHECK2, BST_CHECKED);
    }
    ::EnableWindow(GetDlgItem(IDC_NEXT), m_inProgress || ::GetWindowTextLengthA(GetDlgItem(IDC_EDIT1)) > 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_EDIT1, EM_LIMITTEXT, kNickNameLength, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_EDIT2, EM_LIMITTEXT, kMailLength, 0);
    if (m_inProgress) {
        ::SetFocus(GetDlgItem(IDC_NEXT));
        return FALSE;
    }
    return result;
}

void CRegClientDialog::ShowUnexpectedError()
{
    m_context->errorCode = "E_UNEXPECTED";
    GoToPage(NewPageIn<CErrorDialog>(GetParent(), m_context), 0);
}

void CRegClientDialog::OnStart()
{
    if (m_context->customer.SerialID.IsEmpty())
        ShowUnexpectedError();
}

bool CRegClientDialog::CheckNickName()
{
    m_context->customer.NickName = ItemText(IDC_EDIT1);
    m_errorChars.Empty();
    const int result = ValidateContextNickName(m_context, m_errorChars);
    // The check names no character for a nickname that another serial has: the message names it.
    if (result == 6)
        m_errorChars = m_context->customer.NickName;
    const char* key = NickNameMessageKey(result);
    if (!key || m_inProgress)
        return true;
    CString message;
    GetExpandedText(message, key);
    CString caption;
    GetExpandedText(caption, "COMMON_NICKNAME_INPUT_ERR_TITLE");
    ::MessageBoxA(m_hWnd, message, caption, MB_ICONWARNING);
    ::SetFocus(GetDlgItem(IDC_EDIT1));
    return false;
}

bool CRegClientDialog::CheckMailAddress()
{
    const CString mail = ItemText(IDC_EDIT2);
    const char* warning = nullptr;
    switch (CheckMailAddressText(mail)) {
    case 2:
        warning = "B_E07_MESSAGE_6";
        break;
    case 3:
        warning = "B_E07_MESSAGE_7";
        break;
    case 1:
        if (!m_inProgress) {
            CMessageDialog ask(CTextDef::GetText("MSGDLG_MBM03_MESSAGE"), CTextDef::GetText("COMMON_TITLE"));
            ask.SetFirstButtonText(CTextDef::GetText("MSGDLG_MBM03_BTN1_YES"));
            ask.SetSecondButtonText(CTextDef::GetText("MSGDLG_MBM03_BTN2_NO"));
            if (ask.DoModal(::GetActiveWindow()) == 1)
                return false;
        }
        m_context->customer.MailAddressSN.Empty();
        return true;
    default:
        break;
    }
    if (warning) {
        ::MessageBoxA(m_hWnd, CTextDef::GetText(warning), CTextDef::GetText("COMMON_TITLE"), MB_ICONWARNING);
        return false;
    }
    m_context->customer.MailAddressSN = mail;
    return true;
}

void CRegClientDialog::OnNext()
{
    if (!CheckNickName() || !CheckMailAddress())
        return;
    COpsCustomerData& customer = m_context->customer;
    customer.GrantGetMailAddress = ::IsDlgButtonChecked(m_hWnd, IDC_CHECK1) == BST_CHECKED ? "1" : "0";
    customer.GrantGetPCInfo = ::IsDlgButtonChecked(m_hWnd, IDC_CHECK2) == BST_CHECKED ? "1" : "0";
    ::EnableWindow(GetDlgItem(IDC_NEXT), FALSE);
    m_context->SetValue("INSTALL_TYPE", "CUSTOM");
    const bool skipOption = IsMigrationSkippingOption(m_context->GetValue("MIGRATION_TYPE"));
    if (m_inProgress) {
        GoToPage(skipOption ? NewPageIn<CInstallDialog>(GetParent(), m_context)
                            : NewPageIn<CPreInstallDialog>(GetParent(), m_context),
                 0);
        return;
    }
    // A request without a serial would register nothing.
    if (customer.SerialID.IsEmpty()) {
        ShowUnexpectedError();
        return;
    }
    const CString order = m_context->GetValue("AN08_ORDER");
    if (order == "新規契約" || order == "追加契約" || order == "インストール") {
        COpsRequest request;
        const bool failed = request.Run("1005", m_context, TRUE) != 0 || OrderRequestFailed(*m_context);
        if (failed)
            GoToPage(NewPageIn<CErrorDialog>(GetParent(), m_context), 0);
        else
            GoToPage(skipOption ? NewPageIn<CInstallDialog>(GetParent(), m_context)
                                : NewPageIn<CPreInstallDialog>(GetParent(), m_context),
                     0);
        return;
    }
    if (order == "再インストール") {
        m_context->SetValue("ops_retry_counter", "");
        m_context->SetValue("COPSProgressDialog::ProcID", "1006");
        m_context->SetValue("COPSProgressDialog::NextPage", skipOption ? "CInstallDialog" : "CPreInstallDialog");
        m_context->SetValue("COPSProgressDialog::ErrorPage", "CErrorDialog");
        CString message;
        GetExpandedText(message, "B_N07_A_IDC_STATIC1");
        m_context->SetValue("COPSProgressDialog::MessageText", message);
        GoToPage(NewPageIn<COPSProgressDialog>(GetParent(), m_context), 0);
        return;
    }
    ShowUnexpectedError();
}

LRESULT CRegClientDialog::OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnInitDialog(reinterpret_cast<HWND>(wParam), lParam);
}

LRESULT CRegClientDialog::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const HDC dc = reinterpret_cast<HDC>(wParam);
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    if (id == IDC_IMAGE) {
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(m_markBrush.Get());
    }
    if (id == IDC_STATIC5)
        ::SetTextColor(dc, kSerialColour);
    // The white brush comes from the base map.
    handled = FALSE;
    return 0;
}

LRESULT CRegClientDialog::OnEditSetFocus(WORD, WORD id, HWND control, BOOL& handled)
{
    if (id != IDC_EDIT1 && id != IDC_EDIT2) {
        handled = FALSE;
        return 0;
    }
    if (const HIMC ime = ::ImmGetContext(control)) {
        ::ImmSetOpenStatus(ime, FALSE);
        ::ImmReleaseContext(control, ime);
    }
    return 0;
}

LRESULT CRegClientDialog::OnEditChange(WORD, WORD, HWND, BOOL&)
{
    // Locked fields keep a way forward: a serial being installed goes on without a request.
    ::EnableWindow(GetDlgItem(IDC_NEXT), m_inProgress || ::GetWindowTextLengthA(GetDlgItem(IDC_EDIT1)) > 0);
    return 0;
}

LRESULT CRegClientDialog::OnNextCommand(WORD, WORD, HWND, BOOL&)
{
    OnNext();
    return 0;
}
