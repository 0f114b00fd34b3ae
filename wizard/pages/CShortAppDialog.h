#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CShortAppDialog : public CKAVODlg<CShortAppDialog, IDD_SHORTAPP> {
public:
    static constexpr const char* kStepLetters = "C";
    static constexpr bool kCloseEnabled = true;

    CShortAppDialog();
    ~CShortAppDialog() override;

    BOOL ResolveEntity(CString& text) override;
    // Lists each conflicting program once, then tells a waiting launcher host that the
    // wizard has stopped ("KAVO_OSA_EVENT_STOP").
    void LoadBrowserContent(WORD controlId) override;

    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;
};
