#pragma once
// A requirement shortfall met while upgrading.
// The upgrade flow has no step bar; next goes on to the upgrade's licence terms.
#include "CShortDialog.h"

class CUpgradeShortDialog : public CShortDialog {
public:
    CUpgradeShortDialog();
    ~CUpgradeShortDialog() override;

    BEGIN_MSG_MAP(CUpgradeShortDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        CHAIN_MSG_MAP(CShortDialog)
    END_MSG_MAP()

    LRESULT OnInitDialog(HWND focus, LPARAM initParam);

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);
};
