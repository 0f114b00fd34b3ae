#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CShortAppDialog : public CKAVODlg<CShortAppDialog, IDD_SHORTAPP> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = true;

    CShortAppDialog();
    ~CShortAppDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;
};
