#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CShortDialog : public CKAVODlg<CShortDialog, IDD_SHORT> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = true;

    CShortDialog();
    ~CShortDialog() override;

    // The six results, the requirement texts of the OS definition and the error code.
    BOOL ResolveEntity(CString& text) override;
    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;
    void InitFonts() override;
};
