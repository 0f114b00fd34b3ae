#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CExternalEULADialog : public CKAVODlg<CExternalEULADialog, IDD_EXTERNALEULA> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = false;

    CExternalEULADialog();
    ~CExternalEULADialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
};
