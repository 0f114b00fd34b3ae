#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CPreSignupDialog : public CKAVODlg<CPreSignupDialog, IDD_PRESIGNUP> {
public:
    static constexpr const char* kStepLetters = "SA";
    static constexpr bool kCloseEnabled = false;

    CPreSignupDialog();
    ~CPreSignupDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    // Content and entities of the order confirmation.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;

    // What is ordered: 0 new contract, 1 additional contract, 2 re-install on the customer's
    // first agreement, 3 re-install on another. A negative kind shows no document.
    int m_orderKind = 0;

private:
    // Set while one of the order's element texts is expanded, which must not hold itself.
    bool m_expandingElement = false;
};
