#pragma once
#include "CKAVODlg.h"
#include "VisibleCommandHandler.h"
#include "resource.h"

class COpsRequest;

class CPreCancelDialog : public CKAVODlg<CPreCancelDialog, IDD_PRECANCEL> {
public:
    static constexpr const char* kStepLetters = "=LPDt";
    static constexpr bool kCloseEnabled = false;

    CPreCancelDialog();
    // Waits for a cancellation still running: its worker writes into the context until it ends.
    ~CPreCancelDialog() override;
    void InitTexts() override;
    void InitFonts() override;

    DWORD GetHostFlags() override;

    BEGIN_MSG_MAP(CPreCancelDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_KAVO_REQUESTDONE, OnRequestDoneMessage)
        VISIBLE_COMMAND_ID_HANDLER(IDC_BACK, OnBackCommand)
        VISIBLE_COMMAND_ID_HANDLER(IDC_NEXT, OnNextCommand)
        CHAIN_MSG_MAP(CKAVODlgBase)
    END_MSG_MAP()

    // Content and entities.
    void LoadBrowserContent(WORD controlId) override;
    BOOL ResolveEntity(CString& text) override;
    // One row per serial still to be cancelled that the last answer lists, in that order.
    CString BuildSerialList();

    // The pending list from "CANCEL_SERIALS" (empty pieces skipped), the all-flag from
    // "AN08_ORDER" and the heading that the flag chooses.
    LRESULT OnInitDialog(HWND focus, LPARAM initParam);
    // One step of the chain: request is the cancellation that has just ended, or null to start.
    // A failed step leads to the error page; the next request goes out while serials are
    // pending; with none left the chain ends on the closing page. The end of a request that
    // is not this page's running one moves nothing.
    void OnCancelStep(COpsRequest* request);
    // Next: the buttons go grey and the first step runs from the message queue.
    void OnNext();

    // The SerialIDs still to be cancelled, in the order the customer's choice gave them.
    CSimpleArray<CString> m_pendingSerials;
    // The whole contract goes with one request.
    BOOL m_allFlag = FALSE;
    // The running cancellation, owned by the page until its end arrives; null when none runs.
    COpsRequest* m_request = nullptr;

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnRequestDoneMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnBackCommand(WORD, WORD, HWND, BOOL&);
    LRESULT OnNextCommand(WORD, WORD, HWND, BOOL&);

    // Set while the row templates are read, which must not hold the list itself.
    bool m_buildingList = false;
    // Set by Next: only then may a step without a request start the chain.
    bool m_started = false;
};
