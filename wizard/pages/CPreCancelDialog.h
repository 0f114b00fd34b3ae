#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPreCancelDialog : public CKAVODlg<CPreCancelDialog, IDD_PRECANCEL> {
public:
    static constexpr const char* kStepLetters = "=LPDt";
    static constexpr bool kCloseEnabled = false;

    CPreCancelDialog();
    ~CPreCancelDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;
};
