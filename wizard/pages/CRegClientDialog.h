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

    // The consent page's browser: a page that cannot be loaded gives way to the fallback
    // HTML, written once per failure; the buttons stay as they are.
    BEGIN_MSG_MAP(CRegClientDialog)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override;
    void __stdcall NavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrame, VARIANT* statusCode,
                                 VARIANT_BOOL* cancel) override;

    // Set when the fallback HTML has been written; a new failure clears it.
    BOOL m_fallbackWritten = FALSE;

private:
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);
};
