#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CShortHDDDialog : public CKAVODlg<CShortHDDDialog, IDD_SHORTHDD> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = true;

    CShortHDDDialog();
    ~CShortHDDDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;
};
