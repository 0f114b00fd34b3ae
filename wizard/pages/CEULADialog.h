#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CEULADialog : public CKAVODlg<CEULADialog, IDD_EULA> {
public:
    static constexpr const char* kStepLetters = "S";
    static constexpr bool kCloseEnabled = true;

    CEULADialog();
    ~CEULADialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    // Statistics of a close on this page.
    void SendStatistics() override;
};
