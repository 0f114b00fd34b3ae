#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CSignupDialog : public CKAVODlg<CSignupDialog, IDD_SIGNUP> {
public:
    static constexpr const char* kStepLetters = "S";
    static constexpr bool kCloseEnabled = false;

    CSignupDialog();
    ~CSignupDialog() override;
    void InitTexts() override;
    void InitFonts() override;
};
