#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CCheckComputerDialog : public CKAVODlg<CCheckComputerDialog, IDD_CHECKCOMPUTER> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = false;

    CCheckComputerDialog();
    ~CCheckComputerDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
};
