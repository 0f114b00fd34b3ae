#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CRegClientDialog : public CKAVODlg<CRegClientDialog, IDD_REGCLIENT> {
public:
    static constexpr const char* kStepLetters = "IR";
    static constexpr bool kCloseEnabled = false;

    CRegClientDialog();
    ~CRegClientDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;
};
