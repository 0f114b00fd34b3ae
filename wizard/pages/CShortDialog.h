#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CShortDialog : public CKAVODlg<CShortDialog, IDD_SHORT> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = true;

    CShortDialog();
    ~CShortDialog() override;
    void InitTexts() override;
    void InitFonts() override;
};
