#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CInstallDialog : public CKAVODlg<CInstallDialog, IDD_INSTALL> {
public:
    static constexpr const char* kStepLetters = "IR";
    static constexpr bool kCloseEnabled = false;

    CInstallDialog();
    ~CInstallDialog() override;
    void InitTexts() override;
};
