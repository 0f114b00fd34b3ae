#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CExternalEULADialog : public CKAVODlg<CExternalEULADialog, IDD_EXTERNALEULA> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = false;

    CExternalEULADialog();
    ~CExternalEULADialog() override;

    DWORD GetHostFlags() override;
};
