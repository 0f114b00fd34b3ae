#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CStatusDialog : public CKAVODlg<CStatusDialog, IDD_STATUS> {
public:
    static constexpr const char* kStepLetters = "=Lp";
    static constexpr bool kCloseEnabled = true;

    CStatusDialog();
    ~CStatusDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
};
