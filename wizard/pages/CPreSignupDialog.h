#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPreSignupDialog : public CKAVODlg<CPreSignupDialog, IDD_PRESIGNUP> {
public:
    static constexpr const char* kStepLetters = "SA";
    static constexpr bool kCloseEnabled = false;

    CPreSignupDialog();
    ~CPreSignupDialog() override;
    void InitTexts() override;
    void InitFonts() override;
};
