#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CEULADialog : public CKAVODlg<CEULADialog, IDD_EULA> {
public:
    static constexpr const char* kStepLetters = "S";
    static constexpr bool kCloseEnabled = true;

    CEULADialog();
    ~CEULADialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    // Statistics of a close on this page.
    void SendStatistics() override;

    BEGIN_MSG_MAP(CEULADialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_AGREE, OnAgreeCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_DISAGREE, OnDisagreeCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_REFRESH, OnRefreshCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The terms come from the content server; their failure shows the fallback and reload.
    void LoadBrowserContent(WORD controlId) override;
    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override;
    void __stdcall NavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrame, VARIANT* statusCode,
                                 VARIANT_BOOL* cancel) override;
    // Starts loading the terms at the expanded text of key, as a new attempt.
    void LoadTerms(const char* key);

    BOOL m_navigationFailed = FALSE;
    BOOL m_fallbackWritten = FALSE;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnAgreeCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnDisagreeCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnRefreshCommand(WORD, WORD, HWND, BOOL&);
};
