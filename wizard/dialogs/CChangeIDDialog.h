#pragma once
// Changes the nickname of the selected serial: result 1 applied (the context's NickName holds
// the new name), 2 cancelled. Made on the stack by its caller for one modal run; the context
// must outlive it.
#include <windows.h>

#include "CDialogImpl.h"
#include "CStringT.h"
#include "controls/CByteLimitEdit.h"
#include "resource.h"

struct CPageContext;

class CChangeIDDialog : public CDialogImpl<CChangeIDDialog> {
public:
    enum { IDD = IDD_CHANGEID };

    explicit CChangeIDDialog(CPageContext* context) : m_context(context) {}

    BEGIN_MSG_MAP(CChangeIDDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnApply)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnApply(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    CPageContext* m_context;
    CString m_offending;
    CByteLimitEdit m_edit;
};
