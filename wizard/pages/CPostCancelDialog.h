#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPostCancelDialog : public CKAVODlg<CPostCancelDialog, IDD_POSTCANCEL> {
public:
    static constexpr const char* kStepLetters = "=LPDT";
    static constexpr bool kCloseEnabled = true;

    CPostCancelDialog();
    ~CPostCancelDialog() override;
    void InitTexts() override;
    void InitFonts() override;
};
