#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CStartDialog : public CKAVODlg<CStartDialog, IDD_START> {
public:
    static constexpr const char* kStepLetters = "P";
    static constexpr bool kCloseEnabled = true;

    CStartDialog();
    ~CStartDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    BEGIN_MSG_MAP(CStartDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_BACK, OnBackCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    void LoadBrowserContent(WORD controlId) override;

    // The base start-up, then the heading that names the chosen flow.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    // Next goes on to the PC check; back refreshes the status for the contract list.
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnBackCommand(WORD, WORD, HWND, BOOL&);
};
