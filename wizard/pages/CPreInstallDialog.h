#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CPreInstallDialog : public CKAVODlg<CPreInstallDialog, IDD_PREINSTALL> {
public:
    static constexpr const char* kStepLetters = "IR";
    static constexpr bool kCloseEnabled = false;

    CPreInstallDialog();
    ~CPreInstallDialog() override;

    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;

    DWORD GetHostFlags() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;

    BEGIN_MSG_MAP(CPreInstallDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_INSTALL, OnInstallCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // "利用する" leads to the option's licence terms; "利用しない" pings, records "DISABLE" as
    // "OPTIONAL_FUNCTION" and starts the installation.
    void OnInstall();

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnInstallCommand(WORD, WORD, HWND, BOOL&);
};
