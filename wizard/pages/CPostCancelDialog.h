#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CPostCancelDialog : public CKAVODlg<CPostCancelDialog, IDD_POSTCANCEL> {
public:
    static constexpr const char* kStepLetters = "=LPDT";
    static constexpr bool kCloseEnabled = true;

    CPostCancelDialog();
    ~CPostCancelDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    BEGIN_MSG_MAP(CPostCancelDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_END, OnEndCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_BACK, OnBackCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The closing text for the whole contract or for the chosen serials.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // Ends the wizard; the companion's RunOnce value goes at exit.
    void OnEnd();
    // Refreshes the status and returns to the contract list, or to the error page.
    void OnBack();

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnEndCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnBackCommand(WORD, WORD, HWND, BOOL&);
};
