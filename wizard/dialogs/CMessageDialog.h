#pragma once
// The program's own two-button message box: definition texts on white, sized to its
// message. Only its two buttons end it (1 for the first, 2 for the second); Esc and the
// close box do nothing. Made on the stack by its caller for one modal run.
#include <windows.h>

#include "CDialogImpl.h"
#include "CStringT.h"
#include "resource.h"

class CMessageDialog : public CDialogImpl<CMessageDialog> {
public:
    enum { IDD = IDD_MESSAGE };

    CMessageDialog(const char* message, const char* caption);

    void SetFirstButtonText(const char* text) { m_firstButton = text; }
    void SetSecondButtonText(const char* text) { m_secondButton = text; }

    BEGIN_MSG_MAP(CMessageDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_CTLCOLORBTN, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORDLG, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
        COMMAND_ID_HANDLER(IDC_MSG_BUTTON1, OnFirstButton)
        COMMAND_ID_HANDLER(IDC_MSG_BUTTON2, OnSecondButton)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCtlColor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFirstButton(WORD, WORD, HWND, BOOL&);
    LRESULT OnSecondButton(WORD, WORD, HWND, BOOL&);
    // Fits the window to the message and places the text, the icon and the buttons.
    void Layout();

    CString m_message;
    CString m_caption;
    CString m_firstButton;
    CString m_secondButton;
    HWND m_text = nullptr;
};
