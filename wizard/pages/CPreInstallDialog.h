#pragma once
#include "CKAVODlg.h"
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
};
