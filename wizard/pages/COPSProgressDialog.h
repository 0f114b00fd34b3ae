#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class COPSProgressDialog : public CKAVODlg<COPSProgressDialog, IDD_OPSPROGRESS> {
public:
    static constexpr const char* kStepLetters = "S";
    static constexpr bool kCloseEnabled = false;

    COPSProgressDialog();
    ~COPSProgressDialog() override;
    void InitFonts() override;
};
