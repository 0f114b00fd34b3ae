#pragma once
// The customer-id field: pasted text keeps only its ASCII digits (typing is limited by the
// field's ES_NUMBER style). Attach it to an existing edit (SubclassWindow); the window's own
// procedure is given back when the object goes. The page that holds the field owns it.
#include <windows.h>

#include "CStringT.h"
#include "CWindowImpl.h"

class CCustomerIdEdit : public CWindowImpl<CCustomerIdEdit> {
public:
    CCustomerIdEdit() = default;
    ~CCustomerIdEdit() override;

    BEGIN_MSG_MAP(CCustomerIdEdit)
        MESSAGE_HANDLER(WM_PASTE, OnPaste)
    END_MSG_MAP()

    // text without every byte that is not "0".."9".
    static CString DigitsOf(const char* text);

private:
    LRESULT OnPaste(UINT, WPARAM, LPARAM, BOOL&);
};
