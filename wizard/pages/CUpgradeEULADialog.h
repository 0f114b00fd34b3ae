#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CUpgradeEULADialog : public CKAVODlg<CUpgradeEULADialog, IDD_EULA> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = false;

    CUpgradeEULADialog();
    ~CUpgradeEULADialog() override;
    void InitTexts() override;

    DWORD GetHostFlags() override;
};
