#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CInstallFailedDialog : public CKAVODlg<CInstallFailedDialog, IDD_INSTALLFAILED> {
public:
    static constexpr const char* kStepLetters = "F";
    static constexpr bool kCloseEnabled = true;

    CInstallFailedDialog();
    ~CInstallFailedDialog() override;

    BOOL ResolveEntity(CString& text) override;
    // The installer's own failures have documents of their own.
    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
};
