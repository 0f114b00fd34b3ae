#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CLoginDialog : public CKAVODlg<CLoginDialog, IDD_LOGIN> {
public:
    static constexpr const char* kStepLetters = "=Lp";
    static constexpr bool kCloseEnabled = true;

    CLoginDialog();
    ~CLoginDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    // Content and entities: the sign-in text, or the refused sign-in's message when the
    // context's "CLoginDialog::InitialState" is "ERROR".
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;
    // Whether this page is shown, gives way to another page or ends the wizard.
    CWBDialog* ResolvePage(HWND frame, CPageContext* context) override;
};
