#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CStartDialog : public CKAVODlg<CStartDialog, IDD_START> {
public:
    static constexpr const char* kStepLetters = "P";
    static constexpr bool kCloseEnabled = true;

    CStartDialog();
    ~CStartDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    void LoadBrowserContent(WORD controlId) override;
};
