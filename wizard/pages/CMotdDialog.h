#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CMotdDialog : public CKAVODlg<CMotdDialog, IDD_MOTD> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CMotdDialog();
    ~CMotdDialog() override;
};
