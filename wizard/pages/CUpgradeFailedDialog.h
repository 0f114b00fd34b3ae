#pragma once
// An upgrade that failed: retried without asking, through the host's update page.
#include "CInstallFailedDialog.h"

class CUpgradeFailedDialog : public CInstallFailedDialog {
public:
    CUpgradeFailedDialog();
    ~CUpgradeFailedDialog() override;

    BEGIN_MSG_MAP(CUpgradeFailedDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_INSTALL, OnInstallCommand)
        CHAIN_MSG_MAP(CInstallFailedDialog)
    END_MSG_MAP()

    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;

    // The host's update page, else the main program started past its preamble and the
    // wizard ends. The phase and SerialID are cleared first.
    void RestartAfterUpgradeFailure();

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnInstallCommand(WORD, WORD, HWND, BOOL&);
};
