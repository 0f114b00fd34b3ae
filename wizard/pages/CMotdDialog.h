#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CMotdDialog : public CKAVODlg<CMotdDialog, IDD_MOTD> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CMotdDialog();
    ~CMotdDialog() override;

    BEGIN_MSG_MAP(CMotdDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The notice body as it came, without entity expansion: the operator's text is shown as
    // it was written.
    void LoadBrowserContent(WORD controlId) override;

    // The context's "OPS_STATUS" 1 or 2 keeps the notice; any other value gives a new
    // sign-in page in its place. The choice is made here, before the page is shown, so that
    // the page never hands over while its window is still being created.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
    // The base start-up, then the buttons of the status: 1 offers only Next, 2 only Close
    // (standing where Next stands).
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    // Next goes on to the sign-in page.
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);
};
