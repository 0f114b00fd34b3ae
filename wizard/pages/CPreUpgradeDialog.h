#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPreUpgradeDialog : public CKAVODlg<CPreUpgradeDialog, IDD_PREUPGRADE> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CPreUpgradeDialog();
    ~CPreUpgradeDialog() override;
    void InitTexts() override;
    void InitFonts() override;
};
