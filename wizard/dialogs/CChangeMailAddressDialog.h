#pragma once
// Changes the mail address of the selected serial and the permission to get it: result 1
// applied (the context's MailAddressSN and GrantGetMailAddress hold the choice), 2 cancelled.
// Made on the stack by its caller for one modal run; the context must outlive it.
#include <windows.h>

#include "CDialogImpl.h"
#include "CStringT.h"
#include "controls/CByteLimitEdit.h"
#include "resource.h"

struct CPageContext;

class CChangeMailAddressDialog : public CDialogImpl<CChangeMailAddressDialog> {
public:
    enum { IDD = IDD_CHANGEMAILADDRESS };

    explicit CChangeMailAddressDialog(CPageContext* context) : m_context(context) {}

    BEGIN_MSG_MAP(CChangeMailAddressDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnApply)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnApply(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    CPageContext* m_context;
    CByteLimitEdit m_edit;
};
