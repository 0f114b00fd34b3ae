#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
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

    BEGIN_MSG_MAP(CExternalEULADialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        VISIBLE_COMMAND_ID_HANDLER(IDC_AGREE, OnAgreeCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_DISAGREE, OnBackCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_REFRESH, OnRefreshCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The vendor's terms come from the content server; their failure shows the fallback and
    // reload, and keeps the back button.
    void LoadBrowserContent(WORD controlId) override;
    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override;
    void __stdcall NavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrame, VARIANT* statusCode,
                                 VARIANT_BOOL* cancel) override;
    // Starts loading the terms at the expanded text of key, as a new attempt.
    void LoadTerms(const char* key);

    BOOL m_navigationFailed = FALSE;
    BOOL m_fallbackWritten = FALSE;
    // The frame's header while this page shows; loaded shared with the module.
    HBITMAP m_background = nullptr;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnAgreeCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnBackCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnRefreshCommand(WORD, WORD, HWND, BOOL&);
};
