#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPostSignupDialog : public CKAVODlg<CPostSignupDialog, IDD_POSTSIGNUP> {
public:
    static constexpr const char* kStepLetters = "S";
    static constexpr bool kCloseEnabled = true;

    CPostSignupDialog();
    ~CPostSignupDialog() override;
    void InitTexts() override;
};
