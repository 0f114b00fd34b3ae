#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPostInstallDialog : public CKAVODlg<CPostInstallDialog, IDD_POSTINSTALL> {
public:
    static constexpr const char* kStepLetters = "F";
    static constexpr bool kCloseEnabled = true;

    CPostInstallDialog();
    ~CPostInstallDialog() override;
    void InitTexts() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
};
