#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CModifyStatusDialog : public CKAVODlg<CModifyStatusDialog, IDD_MODIFYSTATUS> {
public:
    static constexpr const char* kStepLetters = "=Lp";
    static constexpr bool kCloseEnabled = true;

    CModifyStatusDialog();
    ~CModifyStatusDialog() override;
    void InitTexts() override;

    DWORD GetHostFlags() override;
};
