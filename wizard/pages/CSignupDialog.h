#pragma once
#include "CKAVODlg.h"
#include "resource.h"

class COpsRequest;
struct CPageContext;

class CSignupDialog : public CKAVODlg<CSignupDialog, IDD_SIGNUP> {
public:
    static constexpr const char* kStepLetters = "S";
    static constexpr bool kCloseEnabled = false;

    CSignupDialog();
    // Waits for an order still running: its worker writes into the context until it ends.
    ~CSignupDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    BEGIN_MSG_MAP(CSignupDialog)
        MESSAGE_HANDLER(WM_KAVO_PAGE, OnPageMessage)
        MESSAGE_HANDLER(WM_KAVO_REQUESTDONE, OnRequestDoneMessage)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // The frame's start notice: the marquee runs and the order of "AN08_ORDER" ("1003" for a
    // new contract, "1004" for an additional one) is placed; any other value starts nothing.
    void StartOrder();
    // The end of the order that lParam names; the end of any other request is not this
    // page's. A failed order leads to the error page, whose retry recreates this page.
    void OnOrderDone(COpsRequest* request);

    // The running order, owned by the page until its end arrives; null when none runs.
    COpsRequest* m_request = nullptr;

private:
    LRESULT OnPageMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnRequestDoneMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
};

// Gives the page's progress bar 223 the marquee style when it lacks it and starts it with a
// 100 ms step.
void StartProgressMarquee(HWND page);

// True when the request that has just ended on context failed: the client's own error code
// (transport, unreadable answer, time-out) counts before the answer's ResultCode, which may
// still be an earlier answer's "0000".
bool OrderRequestFailed(const CPageContext& context);
