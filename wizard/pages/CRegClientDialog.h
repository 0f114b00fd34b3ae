#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class CRegClientDialog : public CKAVODlg<CRegClientDialog, IDD_REGCLIENT> {
public:
    static constexpr const char* kStepLetters = "IR";
    static constexpr bool kCloseEnabled = false;

    CRegClientDialog();
    ~CRegClientDialog() override;

    // "&ErrorChar;": the characters the nickname check rejected.
    BOOL ResolveEntity(CString& text) override;
    // The consent page comes from the content server, not from the definitions.
    void LoadBrowserContent(WORD controlId) override;

    // What the last nickname check rejected, for its message.
    CString m_errorChars;
    // Set when the consent page could not be loaded; a new load starts cleared.
    BOOL m_navigationFailed = FALSE;

    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;
};
