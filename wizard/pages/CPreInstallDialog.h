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
};
