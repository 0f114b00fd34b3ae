#include "CChangeIDDialog.h"

#include "CPageContext.h"
#include "CTextDef.h"
#include "InputChecks.h"
#include "NickNameMessages.h"

namespace {

const char kErrorChar[] = "&ErrorChar;";
const int kNickNameBytes = 30;

}  // namespace

LRESULT CChangeIDDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND edit = GetDlgItem(IDC_EDIT1);
    m_edit.SubclassWindow(edit);
    SetWindowText(CTextDef::GetText("CHID_TITLE"));
    SendDlgItemMessageA(m_hWnd, IDC_IMAGE, STM_SETICON, WPARAM(::LoadIconA(nullptr, IDI_INFORMATION)), 0);
    SetDlgItemText(IDC_STATIC1, CTextDef::GetText("CHID_DESCRIPTION"));
    SetDlgItemText(IDC_STATIC2, CTextDef::GetText("CHID_EDITCAPTION"));
    SetDlgItemText(IDC_STATIC3, CTextDef::GetText("CHID_APPENDIX"));
    const COpsSerialInfo* serial = m_context ? m_context->FindSerial(m_context->customer.SerialID) : nullptr;
    if (serial)
        SetDlgItemText(IDC_EDIT1, serial->NickName);
    SetDlgItemText(IDOK, CTextDef::GetText("CHID_IDOK"));
    SetDlgItemText(IDCANCEL, CTextDef::GetText("CHID_IDCANCEL"));
    ::SendMessageA(edit, EM_LIMITTEXT, kNickNameBytes, 0);
    return 0;
}

LRESULT CChangeIDDialog::OnApply(WORD, WORD, HWND, BOOL&)
{
    if (!::IsWindowVisible(GetDlgItem(IDOK)) || !m_context)
        return 0;
    HWND edit = GetDlgItem(IDC_EDIT1);
    const int length = ::GetWindowTextLengthA(edit);
    CString typed;
    ::GetWindowTextA(edit, typed.GetBufferSetLength(length), length + 1);
    typed.ReleaseBuffer(length);
    m_context->customer.NickName = typed;
    m_offending = CString();
    const int result = ValidateContextNickName(m_context, m_offending);
    const char* key = NickNameMessageKey(result);
    if (!key) {
        EndDialog(1);
        return 0;
    }
    CString message = CTextDef::GetText(key);
    message.Replace(kErrorChar, m_offending);
    CString caption = CTextDef::GetText("COMMON_NICKNAME_INPUT_ERR_TITLE");
    caption.Replace(kErrorChar, m_offending);
    MessageBox(message, caption, MB_ICONWARNING);
    ::SetFocus(edit);
    return 0;
}

LRESULT CChangeIDDialog::OnCancel(WORD, WORD, HWND, BOOL&)
{
    if (::IsWindowVisible(GetDlgItem(IDCANCEL)))
        EndDialog(2);
    return 0;
}
