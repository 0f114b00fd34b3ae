#pragma once
#include "CGdiObjects.h"
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class CPreSignupDialog : public CKAVODlg<CPreSignupDialog, IDD_PRESIGNUP> {
public:
    static constexpr const char* kStepLetters = "SA";
    static constexpr bool kCloseEnabled = false;

    CPreSignupDialog();
    ~CPreSignupDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    BEGIN_MSG_MAP(CPreSignupDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_SIGNUP, OnApplyCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDCANCEL, OnCancelCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The base start-up, then the order kind from "AN08_ORDER", its mark and its heading. A
    // re-installation whose answer lists no agreement counts as one on another agreement:
    // the customer's own is not among those listed.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // A re-installation goes on to the registration; an order starts over its retry count
    // and is placed.
    void OnApply();
    // Back to the refreshed contract list, or to the error page when the refresh fails.
    void OnCancelOrder();

    // Content and entities of the order confirmation.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;

    // What is ordered: 0 new contract, 1 additional contract, 2 re-install on the customer's
    // first agreement, 3 re-install on another. A negative kind shows no document.
    int m_orderKind = 0;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnApplyCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancelCommand(WORD, WORD, HWND, BOOL&);

    // The mark static 212 shows; the static does not own it.
    CBitmap m_notice;
    // Set while one of the order's element texts is expanded, which must not hold itself.
    bool m_expandingElement = false;
};
