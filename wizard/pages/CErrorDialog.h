#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CErrorDialog : public CKAVODlg<CErrorDialog, IDD_ERROR> {
public:
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;

    CErrorDialog();
    ~CErrorDialog() override;
    void InitTexts() override;

    BEGIN_MSG_MAP(CErrorDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_BACK, OnBackCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_RETRY, OnRetryCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The code whose message the page shows; the page fills it when it starts.
    CString m_pageCode;

    // Content and entities: the message of ERR_ and the page's code.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;

    // The page code from the context's error code or answer, and the buttons it offers:
    // retry (in the close button's place) while a retryable failure has retries left, the
    // contract list after order-system failures, else only closing.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // Counts the retry and recreates the page named for it; an unknown name ends the wizard.
    void OnRetry();
    // Refreshes the status and returns to the contract list, or to a new error page.
    void OnBack();

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnBackCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnRetryCommand(WORD, WORD, HWND, BOOL&);
    // Moves control id to the middle of the band that the contract-list and close buttons
    // span, keeping its size.
    void CentreInButtonBand(int id);

    // Set while the message text is expanded, which must not hold itself.
    bool m_expandingMessage = false;

    // Statistics of a close on this page.
public:
    void SendStatistics() override;
};
