#pragma once
// Conflicting software met while upgrading.
// The upgrade flow has no step bar.
#include "CShortAppDialog.h"

class CUpgradeShortAppDialog : public CShortAppDialog {
public:
    CUpgradeShortAppDialog();
    ~CUpgradeShortAppDialog() override;

    BEGIN_MSG_MAP(CUpgradeShortAppDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        CHAIN_MSG_MAP(CShortAppDialog)
    END_MSG_MAP()

    LRESULT OnInitDialog(HWND focus, LPARAM initParam);

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
};
