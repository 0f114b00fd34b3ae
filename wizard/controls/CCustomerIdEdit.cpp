#include "CCustomerIdEdit.h"

#include "ClipboardText.h"

CCustomerIdEdit::~CCustomerIdEdit()
{
    if (m_hWnd)
        UnsubclassWindow();
}

CString CCustomerIdEdit::DigitsOf(const char* text)
{
    CString digits;
    for (const char* p = text ? text : ""; *p; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    return digits;
}

LRESULT CCustomerIdEdit::OnPaste(UINT, WPARAM, LPARAM, BOOL&)
{
    // Also with no digits left: the selection is then deleted.
    const CString digits = DigitsOf(GetClipboardText());
    SendMessage(EM_REPLACESEL, TRUE, LPARAM(digits.GetString()));
    return 0;
}
