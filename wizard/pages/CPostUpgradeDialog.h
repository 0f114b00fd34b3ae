#pragma once
// The end of an upgrade: the installation's page with its own texts and no step bar.
#include "CPostInstallDialog.h"

class CPostUpgradeDialog : public CPostInstallDialog {
public:
    CPostUpgradeDialog();
    ~CPostUpgradeDialog() override;

    BEGIN_MSG_MAP(CPostUpgradeDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        CHAIN_MSG_MAP(CPostInstallDialog)
    END_MSG_MAP()

    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
};
