#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CUpgradeEULADialog : public CKAVODlg<CUpgradeEULADialog, IDD_EULA> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = false;

    CUpgradeEULADialog();
    ~CUpgradeEULADialog() override;
    void InitTexts() override;

    DWORD GetHostFlags() override;

    BEGIN_MSG_MAP(CUpgradeEULADialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_AGREE, OnAgreeCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_DISAGREE, OnDisagreeCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_REFRESH, OnRefreshCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The upgrade terms come from the content server; their failure shows the fallback with
    // reload and close, the only way out of this page then.
    void LoadBrowserContent(WORD controlId) override;
    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override;
    void __stdcall NavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrame, VARIANT* statusCode,
                                 VARIANT_BOOL* cancel) override;
    // Starts loading the terms at the expanded text of key, as a new attempt.
    void LoadTerms(const char* key);
    // A custom installation; an upgrade of migration type "V" needs no pre-install page.
    void OnAgree();

    BOOL m_navigationFailed = FALSE;
    BOOL m_fallbackWritten = FALSE;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnAgreeCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnDisagreeCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnRefreshCommand(WORD, WORD, HWND, BOOL&);
    // Buttons off until the document that is coming has completed.
    void LoadTermsWithButtonsOff();
};
