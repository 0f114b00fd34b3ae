#pragma once
#include "controls/CIconLocker.h"
#include "CKAVODlg.h"
#include "COpsResponse.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CPostSignupDialog : public CKAVODlg<CPostSignupDialog, IDD_POSTSIGNUP> {
public:
    static constexpr const char* kStepLetters = "S";
    static constexpr bool kCloseEnabled = true;

    CPostSignupDialog();
    ~CPostSignupDialog() override;
    void InitTexts() override;

    BEGIN_MSG_MAP(CPostSignupDialog)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        // The print button.
        VISIBLE_COMMAND_ID_HANDLER(IDC_PRINT, OnPrint)
        // Next and the contract list.
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_BACK, OnBackCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // Content and entities of the order acknowledgement. Without the ordered agreement in
    // the answer the page gives way to the error page, once the browser's event is over.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;
    // One row of B_N06_TMPL_SERIAL per selected serial, in order.
    CString BuildSerialList();

    // The ordered agreement as the answer lists it, and whether it is the basic contract
    // (AgreementID "0"), which makes the order a new contract.
    COpsAgreement m_agreement;
    bool m_basicAgreement = false;

    // wParam of WM_KAVO_PAGE that the page posts itself to show the error page.
    enum : WPARAM { PAGECMD_SHOW_ORDER_ERROR = 1 };

    // The print button: the order acknowledgement, printed on a printer that the user
    // chooses, with the frame's icon locked while the print dialog is up.
    LRESULT OnPrint(WORD, WORD, HWND, BOOL&);
    // The definition's print script completed with this order's data: the selected serials
    // joined by backslash + "n", the first one's construction end date, and the monthly
    // unit fee of the active contracts without and with tax.
    CString BuildAcknowledgmentScript();

    // Next goes on to the registration; the contract list is shown after a refresh of the
    // status, or the error page when the refresh fails.
    void OnNext();
    void OnBackToContracts();

private:
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);

    // Set while an element text is expanded, which must not hold itself.
    bool m_expandingElement = false;

    // Attached to the top-level window only while OnPrint runs.
    CIconLocker m_iconLocker;

    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnBackCommand(WORD, WORD, HWND, BOOL&);
};
