#include "CChangeMailAddressDialog.h"

#include "CMessageDialog.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "InputChecks.h"

namespace {

const int kMailAddressBytes = 60;

CString TextOf(HWND window)
{
    const int length = ::GetWindowTextLengthA(window);
    CString text;
    ::GetWindowTextA(window, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer(length);
    return text;
}

}  // namespace

LRESULT CChangeMailAddressDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowText(CTextDef::GetText("CHMAILADDR_TITLE"));
    SendDlgItemMessageA(m_hWnd, IDC_IMAGE, STM_SETICON, WPARAM(::LoadIconA(nullptr, IDI_INFORMATION)), 0);
    SetDlgItemText(IDC_STATIC1, CTextDef::GetText("CHMAILADDR_IDC_STATIC1"));
    SetDlgItemText(IDC_STATIC2, CTextDef::GetText("CHMAILADDR_IDC_STATIC2"));
    SetDlgItemText(IDC_STATIC3, CTextDef::GetText("CHMAILADDR_IDC_STATIC3"));
    const COpsSerialInfo* serial = m_context ? m_context->FindSerial(m_context->customer.SerialID) : nullptr;
    SetDlgItemText(IDC_EDIT1, serial ? serial->MailAddressSN.GetString() : "");
    ::CheckDlgButton(m_hWnd, IDC_CHECK1, !serial || serial->GrantGetMailAddress ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_CHECK1, CTextDef::GetText("CHMAILADDR_IDC_CHECK1"));
    SetDlgItemText(IDOK, CTextDef::GetText("CHMAILADDR_IDOK"));
    SetDlgItemText(IDCANCEL, CTextDef::GetText("CHMAILADDR_IDCANCEL"));
    HWND edit = GetDlgItem(IDC_EDIT1);
    m_edit.SubclassWindow(edit);
    ::SendMessageA(edit, EM_LIMITTEXT, kMailAddressBytes, 0);
    return 0;
}

LRESULT CChangeMailAddressDialog::OnApply(WORD, WORD, HWND, BOOL&)
{
    if (!::IsWindowVisible(GetDlgItem(IDOK)) || !m_context)
        return 0;
    const CString address = TextOf(GetDlgItem(IDC_EDIT1));
    switch (CheckMailAddressText(address)) {
    case 0:
        m_context->customer.MailAddressSN = address;
        m_context->customer.GrantGetMailAddress = ::IsDlgButtonChecked(m_hWnd, IDC_CHECK1) == BST_CHECKED ? "1" : "0";
        EndDialog(1);
        break;
    case 1: {
        CMessageDialog question(CTextDef::GetText("MSGDLG_MBM03_MESSAGE"), CTextDef::GetText("COMMON_TITLE"));
        question.SetFirstButtonText(CTextDef::GetText("MSGDLG_MBM03_BTN1_YES"));
        question.SetSecondButtonText(CTextDef::GetText("MSGDLG_MBM03_BTN2_NO"));
        // The second button is the choice to register no address.
        if (question.DoModal(::GetActiveWindow()) == 2) {
            m_context->customer.MailAddressSN = CString();
            m_context->customer.GrantGetMailAddress = "0";
            EndDialog(1);
        }
        break;
    }
    case 2:
        MessageBox(CTextDef::GetText("A_E08_MESSAGE_6"), CTextDef::GetText("COMMON_TITLE"), MB_ICONWARNING);
        break;
    default:
        MessageBox(CTextDef::GetText("B_E07_MESSAGE_7"), CTextDef::GetText("COMMON_TITLE"), MB_ICONWARNING);
        break;
    }
    return 0;
}

LRESULT CChangeMailAddressDialog::OnCancel(WORD, WORD, HWND, BOOL&)
{
    if (::IsWindowVisible(GetDlgItem(IDCANCEL)))
        EndDialog(2);
    return 0;
}
